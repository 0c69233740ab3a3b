#pragma once
// The text-mode page of model "0": text written with the current effect.
#include <string>
#include <vector>

class QPlainTextEdit;
class QString;

namespace corvant {

struct Runtime;

// Writes `text` into the page with the text effect: typewriter (""), at
// once ("direto", "direct"), scrolling in from the bottom ("scrollup"), or
// kept against the bottom ("down", "botton"). Other effects write nothing.
void textModeOutput(Runtime& rt, const std::string& text);

// Script text as the text controls show it: CR LF and lone CR become line
// feeds.
QString forDisplay(const std::string& text);

// How many lines of its font the page shows, and the display lines `text`
// breaks into at the page's width.
int pageLineCount(const QPlainTextEdit& page);
std::vector<std::string> displayLines(const QPlainTextEdit& page, const std::string& text);

}  // namespace corvant
