#include "presentation/htmlpage.h"

#include "runtime/gamestate.h"
#include "runtime/textsettings.h"
#include "text/numbers.h"
#include "text/strings.h"

namespace corvant::html {
namespace {

const char* const kMeta = "<meta http-equiv=\"X-UA-Compatible\" content=\"ie=edge\">";

std::string title(const GameState& s) { return "<title>Corvant: " + s.saveName() + "</title>"; }

bool namesPicture(const std::string& s) {
  return text::contains(s, ".gif") || text::contains(s, ".jpg") || text::contains(s, ".png");
}

// "@label|target|" at the start of `rest`: the anchor, and how much of
// `rest` it used. Nothing when the second "|" is missing.
std::optional<std::pair<std::string, size_t>> linkAt(const GameState& s, const std::string& rest) {
  if (rest.empty() || rest[0] != '@') return std::nullopt;
  const size_t bar = rest.find('|');
  if (bar == std::string::npos) return std::nullopt;
  const size_t end = rest.find('|', bar + 1);
  if (end == std::string::npos) return std::nullopt;
  const std::string label = rest.substr(1, bar - 1), target = rest.substr(bar + 1, end - bar - 1);
  // Picture links point into a folder named after the save, next to the
  // page file.
  std::string anchor = namesPicture(label)
                           ? "<a href=Scp=" + target + "><img src=" + s.saveName() + "/" + label + " border=0></a>"
                           : "<a href=Scp=" + target + ">" + label + "</a>";
  return std::make_pair(std::move(anchor), end + 1);
}

std::optional<int> registerNumber(const GameState& s, const std::string& p) {
  const auto n = text::parseInt(p);
  if (!n || *n < 0 || static_cast<size_t>(*n) >= s.registers.size()) return std::nullopt;
  return n;
}

std::string pictureElement(const GameState& s, const std::string& file, const std::string& width,
                           const std::string& height, const std::string& align) {
  std::string e = "<img src=" + s.paths.fileBase + file;
  if (!width.empty()) e += " width=" + width;
  if (!height.empty()) e += " height=" + height;
  if (!align.empty()) e += " align=" + align;
  return e + " border=0>";
}

}  // namespace

void rebuildPage(GameState& s) {
  const TextSettings& t = s.text;
  s.pageBuffer.clear();
  s.pageStyleCloser.clear();
  s.pageCompletedLength = 0;
  std::string opening;
  if (t.bold) opening += "<b>", s.pageStyleCloser += "</b>";
  if (t.italic) opening += "<em>", s.pageStyleCloser += "</em>";
  if (t.underline) opening += "<u>", s.pageStyleCloser += "</u>";
  s.pageBuffer = {
      "<!DOCTYPE html>",
      "<head>",
      title(s),
      kMeta,
      "</head>",
      "<body bgcolor=#" + t.backgroundColour + " text=#" + t.textColour + " link=#" + t.linkColour + " vlink=#" +
          t.visitedColour + " alink=#" + t.visitedColour,
      " alink=#FFFF00 leftmargin=10 topmargin=0 marginwidth=0 marginheight=0 >",
      "<div style=\"margin-right:10px;\">",
      "<font face=\"" + t.fontFace + "\" color=#" + t.textColour + " style=\"font-size:" +
          std::to_string(TextSettings::pixelSize(t.fontSize)) + "px; \">" + opening,
  };
}

void completePage(GameState& s) {
  if (!s.pageStyleCloser.empty()) s.pageBuffer.push_back(s.pageStyleCloser);
  for (const char* line : {"</font></div>", "</html>", "</body>"}) s.pageBuffer.emplace_back(line);
  s.pageCompletedLength = s.pageBuffer.size();
}

bool pageChangedSinceCompleted(const GameState& s) { return s.pageBuffer.size() != s.pageCompletedLength; }

std::string pageFileText(const GameState& s) {
  std::string out;
  for (const std::string& line : s.pageBuffer) out += line + "\r\n";
  return out;
}

std::string blankPage(const GameState& s, const std::string& colour) {
  return "<!DOCTYPE html><head>" + title(s) + kMeta + "</head><body  bgcolor=#" + colour +
         " text=#FFFF00 link=#FFFF00 vlink=#FFFF00 alink=#FFFF00 leftmargin=0 topmargin=0 marginwidth=0 "
         "marginheight=0 ></body></html>";
}

void convertMessage(GameState& s, const std::string& message) {
  std::string rest = text::trim(message);
  std::string line;
  while (rest.find(' ') != std::string::npos) {
    if (auto link = linkAt(s, rest)) {
      line += link->first;
      rest.erase(0, link->second);
      continue;
    }
    while (!rest.empty() && rest[0] == '\xA7') {
      rest.erase(0, 1);
      s.pageBuffer.push_back(line + "<br>");
      line.clear();
    }
    const size_t blank = rest.find(' ');
    if (blank == std::string::npos) break;
    const std::string word = rest.substr(0, blank + 1);
    rest.erase(0, blank + 1);
    if (text::contains(word, "<br>")) {
      s.pageBuffer.push_back(line);
      line.clear();
    }
    line += word;
  }
  line += rest;
  s.pageBuffer.push_back(line);
}

std::string inlineElement(const GameState& s, const std::string& piece) {
  const std::string body = piece.substr(1);
  const size_t comma = body.find(',');
  const std::string kind = body.substr(0, comma);
  std::vector<std::string> p(10);
  if (comma != std::string::npos) {
    size_t from = comma + 1;
    for (int i = 1; i <= 9; ++i) {
      const size_t next = body.find(',', from);
      p[static_cast<size_t>(i)] = body.substr(from, next == std::string::npos ? std::string::npos : next - from);
      if (next == std::string::npos) break;
      from = next + 1;
    }
  }
  const std::string& base = s.paths.fileBase;
  if (kind == "lnk") return "<a href= " + base + "Scp=" + p[1] + ">" + p[2] + "</a>";
  if (kind == "shp") return pictureElement(s, p[1], p[2], p[3], p[4]);
  if (kind == "fig") return "<a href= " + base + "Scp=" + p[2] + ">" + pictureElement(s, p[1], p[3], p[4], p[5]) + "</a>";
  if (kind == "url" || kind == "web") return "<a href= " + p[1] + " target=_blank>" + p[2] + "</a>";
  if (kind == "reg?") {
    const auto n = registerNumber(s, p[1]);
    return n ? s.registers[static_cast<size_t>(*n)] : std::string();
  }
  if (kind == "reg$") {
    const auto n = registerNumber(s, p[1]);
    if (!n) return {};
    const auto value = text::parseDecimal(s.registers[static_cast<size_t>(*n)]);
    return value ? text::formatMoney(*value) : std::string();
  }
  if (const auto n = registerNumber(s, kind)) return s.registers[static_cast<size_t>(*n)];
  return {};
}

std::optional<std::string> scriptFromAddress(const std::string& address) {
  const size_t at = address.find("Scp=");
  if (at == std::string::npos) return std::nullopt;
  std::string script = address.substr(at + 4);
  if (text::contains(script, ".htm")) return std::nullopt;
  return script;
}

}  // namespace corvant::html
