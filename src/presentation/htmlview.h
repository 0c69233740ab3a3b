#pragma once
// The browser that shows the HTML page of model "2". It is created the first
// time the page is shown, inside the viewport page WebB. Every address the
// page navigates to passes through here: a link carrying "Scp=" starts a
// fresh run instead of leaving the page, an outside address opens in the
// desktop's browser.
#include <QObject>
#include <QString>

#include <string>

class QLabel;
class QWebEngineView;
class QWidget;

namespace corvant {

struct Runtime;

// Settings the browser needs before the application object exists.
void prepareBrowserEnvironment();

// What a navigation to `address` does; true when it was a page link that
// started (or would start) a run, so the page stays where it is.
bool followPageAddress(Runtime& rt, const std::string& address);

class HtmlView : public QObject {
  Q_OBJECT
 public:
  HtmlView(Runtime& rt, QWidget* container);

  // Shows the page file.
  void showFile(const QString& path);
  // Shows a document given as text (the blank page).
  void showHtml(const std::string& html);
  void setFocus();
  // Handles events until the page has finished loading (at most a few
  // seconds, so a page that never finishes cannot hang the game).
  void waitUntilLoaded();
  // False when this machine cannot run the browser; the page area then
  // shows a message instead.
  bool available();
  QWebEngineView* view() const { return view_; }

 private:
  void create();
  void fitToContainer();
  bool eventFilter(QObject* watched, QEvent* event) override;

  Runtime& rt_;
  QWidget* container_;
  QWebEngineView* view_ = nullptr;
  QLabel* fallback_ = nullptr;
  bool tried_ = false;
  bool loading_ = false;
};

}  // namespace corvant
