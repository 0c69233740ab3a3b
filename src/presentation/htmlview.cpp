#include "presentation/htmlview.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cstdio>
#include <unistd.h>

#include "engine/driver.h"
#include "engine/guard.h"
#include "presentation/htmlpage.h"
#include "runtime/runtime.h"
#include "text/cp1252.h"
#include "text/strings.h"

namespace corvant {
namespace {

class GamePage : public QWebEnginePage {
 public:
  GamePage(Runtime& rt, QObject* parent) : QWebEnginePage(parent), rt_(rt) {}

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
    // Link parameters come back percent-encoded; scripts expect them as
    // written.
    const std::string address = text::fromQString(QUrl::fromPercentEncoding(url.toEncoded()));
    if (html::scriptFromAddress(address)) {
      // The run starts after the browser's own call returns: a script
      // usually shows a new page, which must not happen inside this call.
      QTimer::singleShot(0, this, [this, address] { followPageAddress(rt_, address); });
      return false;
    }
    const bool outside = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    if (outside && type == NavigationTypeLinkClicked) {
      rt_.host.openExternal(text::fromQString(url.toString()));
      return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
  }
  // Links meant for a new window go to the desktop's browser.
  QWebEnginePage* createWindow(WebWindowType) override {
    auto* catcher = new QWebEnginePage(this);
    connect(catcher, &QWebEnginePage::urlChanged, this, [this, catcher](const QUrl& url) {
      rt_.host.openExternal(text::fromQString(url.toString()));
      catcher->deleteLater();
    });
    return catcher;
  }

 private:
  Runtime& rt_;
};

bool browserInstalled() {
  if (qEnvironmentVariableIsSet("CORVANT_NO_BROWSER")) return false;
  const QString helper = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + QStringLiteral("/QtWebEngineProcess");
  return QFileInfo::exists(helper);
}

}  // namespace

void prepareBrowserEnvironment() {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // The browser's sandbox refuses to run as root, and has no GPU to use on
  // a screen that does not exist.
  if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--disable-gpu")) flags += " --disable-gpu";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
  }
}

bool followPageAddress(Runtime& rt, const std::string& address) {
  const auto script = html::scriptFromAddress(address);
  if (!script) return false;
  rt.pumpEvents();
  runGuarded(rt, [&] { freshRun(rt, *script); });
  return true;
}

HtmlView::HtmlView(Runtime& rt, QWidget* container) : QObject(container), rt_(rt), container_(container) {
  container_->installEventFilter(this);
}

bool HtmlView::available() {
  create();
  return view_ != nullptr;
}

void HtmlView::create() {
  if (tried_) return;
  tried_ = true;
  if (!browserInstalled()) {
    fallback_ = new QLabel(container_);
    fallback_->setObjectName(QStringLiteral("WebBMissing"));
    fallback_->setWordWrap(true);
    fallback_->setAlignment(Qt::AlignCenter);
    fallback_->setText(QStringLiteral("This page needs the HTML browser component (Qt WebEngine), "
                                      "which is not installed on this computer."));
    fallback_->show();
    std::fprintf(stderr, "corvant: the HTML page cannot be shown: Qt WebEngine is not installed\n");
    fitToContainer();
    return;
  }
  view_ = new QWebEngineView(container_);
  view_->setObjectName(QStringLiteral("WebView"));
  view_->setPage(new GamePage(rt_, view_));
  view_->setContextMenuPolicy(Qt::NoContextMenu);
  connect(view_, &QWebEngineView::loadStarted, this, [this] { loading_ = true; });
  connect(view_, &QWebEngineView::loadFinished, this, [this] { loading_ = false; });
  view_->show();
  fitToContainer();
}

void HtmlView::fitToContainer() {
  const QRect area(QPoint(0, 0), container_->size());
  if (view_) view_->setGeometry(area);
  if (fallback_) fallback_->setGeometry(area);
}

bool HtmlView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == container_ && event->type() == QEvent::Resize) fitToContainer();
  return QObject::eventFilter(watched, event);
}

void HtmlView::showFile(const QString& path) {
  create();
  if (view_) view_->load(QUrl::fromLocalFile(path));
}

void HtmlView::showHtml(const std::string& html) {
  create();
  if (!view_) return;
  const QString folder = QDir(rt_.state.paths.gameFolder).absolutePath();
  view_->setHtml(text::toQString(html), QUrl::fromLocalFile(folder + QLatin1Char('/')));
}

void HtmlView::waitUntilLoaded() {
  QElapsedTimer waited;
  waited.start();
  while (view_ && loading_ && waited.elapsed() < 5000 && !rt_.host.quitting()) {
    rt_.pumpEvents();
    rt_.host.sleepMs(10);
  }
}

void HtmlView::setFocus() {
  create();
  if (view_) view_->setFocus();
}

}  // namespace corvant
