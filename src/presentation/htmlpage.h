#pragma once
// The HTML text page of model "2" as text: its header, its trailer, the
// conversion of messages into page lines, the inline elements of text
// blocks, and the addresses its links navigate to. The browser that shows
// the page is elsewhere; everything here works on the game state alone.
#include <optional>
#include <string>

namespace corvant {

struct GameState;

namespace html {

// Empties the page and writes the header with the current text settings.
void rebuildPage(GameState& s);
// Appends the style closer and the trailer; the lines stay in the page.
void completePage(GameState& s);
// True when lines were added since the page was last completed.
bool pageChangedSinceCompleted(const GameState& s);
// The page file: its lines joined with CR LF.
std::string pageFileText(const GameState& s);
// A whole empty document in the given background colour.
std::string blankPage(const GameState& s, const std::string& colour);

// Message conversion: words joined into page lines, "@label|target|" links
// (followed by a blank somewhere) made into anchors, "§" and "<br>"
// breaking lines.
void convertMessage(GameState& s, const std::string& text);

// A "#kind,P1,..." line of a text block as HTML.
std::string inlineElement(const GameState& s, const std::string& piece);

// What a navigation to `address` runs: the link address after the first
// "Scp=", unless it names a page (".htm"). Empty when it runs nothing.
std::optional<std::string> scriptFromAddress(const std::string& address);

}  // namespace html
}  // namespace corvant
