// Texts written once per language: only the block of the current language is
// captured; the others do nothing, and their continuation lines run as lines
// of their own (normally words no handler knows).
#include "engine/commandtable.h"
#include "engine/textcapture.h"
#include "runtime/runtime.h"

namespace corvant {
namespace {

template <char A, char B, CaptureMode Mode>
void capture(Runtime& rt) {
  const char code[] = {A, B, '\0'};
  if (rt.state.language != code) return;
  captureText(rt, Mode, CaptureStyle::Language);
}

constexpr auto R = CaptureMode::RegisterReplace;
constexpr auto P = CaptureMode::RegisterAppend;

const CommandEntry kCommands[] = {
    {"ifbr=", capture<'b', 'r', R>}, {"ifbr+", capture<'b', 'r', P>},
    {"ifpt=", capture<'p', 't', R>}, {"ifpt+", capture<'p', 't', P>},
    {"ifen=", capture<'e', 'n', R>}, {"ifen+", capture<'e', 'n', P>},
    {"iffr=", capture<'f', 'r', R>}, {"iffr+", capture<'f', 'r', P>},
    {"ifes=", capture<'e', 's', R>}, {"ifes+", capture<'e', 's', P>},
};

}  // namespace

void registerLanguageCaptureCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
