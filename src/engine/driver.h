#pragma once
// The execution driver: every event a game reacts to ends in one of these.
#include <string>

namespace corvant {

struct Runtime;

// run(name, -1): the normal way to start a script.
void freshRun(Runtime& rt, std::string name);
// With start >= 0 the current line list goes on from that line, without a
// reset and without reading a script.
void run(Runtime& rt, std::string name, int start);
// Reads and runs a script without reset, trace or end-of-run steps.
void quickRun(Runtime& rt, const std::string& name);
// A clickable area whose target begins with ":".
void runFromLabel(Runtime& rt, const std::string& target);
// One tick of the run timer: runs the timer script and puts the interrupted
// script and line back.
void runTimerTick(Runtime& rt);

// The command interpreter: interprets the line at the line index and
// whatever it chains to.
void interpretLine(Runtime& rt);
// Continue as another command: the dispatcher looks `word` up next.
void continueAs(Runtime& rt, const std::string& word);
// Continue as `goto` label (the jump of every condition).
void continueAsGoto(Runtime& rt, const std::string& label);
// Appends a script name to the visit log, when one is kept.
void logVisit(Runtime& rt, const std::string& name);

// "@norte".."@descer", "@pos", "@obj", "xvlt"/"@xvlt".
std::string translateAlias(const Runtime& rt, const std::string& name);

}  // namespace corvant
