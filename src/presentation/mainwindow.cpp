#include "presentation/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QScreen>

#include <cstdio>

#include "engine/driver.h"
#include "engine/guard.h"
#include "engine/linesyntax.h"
#include "engine/scripterror.h"
#include "engine/scriptfiles.h"
#include "imaging/picture.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "runtime/savedgame.h"
#include "runtime/startup.h"
#include "text/cp1252.h"
#include "world/keys.h"

namespace corvant {

TForm1::TForm1(Runtime& rt, const LaunchOptions& launch) : QWidget(nullptr, Qt::FramelessWindowHint), rt_(rt) {
  setObjectName(QStringLiteral("TForm1"));
  createComponents();
  rt_.hooks = this;
  runCreationSteps(launch);
}

TForm1::~TForm1() {
  if (rt_.hooks == this) rt_.hooks = nullptr;
}

void TForm1::createComponents() {
  resize(900, 420);
  Abok0 = new QStackedWidget(this);
  Abok0->setObjectName(QStringLiteral("Abok0"));
  Abok0->setGeometry(0, 0, 900, 420);
  const char* pages[] = {"Default", "Imagens", "Abertura"};
  for (const char* name : pages) {
    auto* page = new QWidget(Abok0);
    page->setObjectName(QString::fromLatin1(name));
    Abok0->addWidget(page);
  }
  Imp = new PictureWidget(QStringLiteral("Imp"), Abok0->widget(PageDefault));
  Imp->setGeometry(0, 0, 900, 420);
  TelAber = new PictureWidget(QStringLiteral("TelAber"), Abok0->widget(PageAbertura));
  TelAber->setGeometry(0, 0, 900, 420);
  connect(TelAber, &PictureWidget::pressed, this, &TForm1::startDrag);
  connect(TelAber, &PictureWidget::moved, this, &TForm1::dragTo);
  connect(TelAber, &PictureWidget::released, this, &TForm1::openingReleased);

  qApp->installEventFilter(this);
  RunTimer = new QTimer(this);
  RunTimer->setObjectName(QStringLiteral("RunTimer"));
  connect(RunTimer, &QTimer::timeout, this, [this] { runGuarded(rt_, [this] { runTimerTick(rt_); }); });
}

void TForm1::reportStartup(const std::string& text) { rt_.host.showError(text); }

void TForm1::runCreationSteps(const LaunchOptions& launch) {
  GameState& s = rt_.state;
  s.paths.commandArg = text::fromQString(launch.commandArg);
  s.paths.gameFolder = launch.gameFolder;
  s.paths.machineId = machineIdentifier(launch.gameFolder);
  s.paths.gameName = text::fromQString(launch.gameName);

  std::vector<StartupMessage> messages = readConfiguration(s);
  if (!messages.empty() && messages.front().fatal) {
    reportStartup(messages.front().text);
    startedOk_ = false;
    return;
  }
  const WindowSize size = configuredWindowSize(s, messages);
  for (const auto& m : messages) reportStartup(m.text);

  Abok0->setCurrentIndex(PageDefault);
  resize(size.width, size.height);
  Abok0->setGeometry(0, 0, size.width, size.height);
  Imp->setGeometry(0, 0, size.width, size.height);
  TelAber->setGeometry(0, 0, size.width, size.height);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  rt_.pumpEvents();

  const std::string& opening = s.config.at(cfg::kOpeningPicture);
  if (!opening.empty()) {
    QImage picture = loadGamePicture(opening);
    if (!picture.isNull()) TelAber->setPicture(picture);
  }
  TelAber->setEnabled(true);
  Abok0->setCurrentIndex(PageAbertura);
  std::srand(static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch()));
}

QImage TForm1::loadGamePicture(const std::string& name) {
  QImage picture;
  try {
    const QString folder = rt_.state.paths.graphicsFolder.isEmpty() ? rt_.state.paths.gameFolder
                                                                     : rt_.state.paths.graphicsFolder;
    const QString path = files::join(folder, name);
    imaging::loadPictureFile(path, files::resolve(path), picture);
  } catch (const std::exception& e) {
    reportStartup("The picture " + name + " cannot be shown: " + e.what());
  }
  return picture;
}

// The window's size and background picture from the loaded configuration.
// The rest of the layout (viewport, message strip, command line, panel,
// window shape) belongs to the screen models.
void TForm1::applyGameLoadLayout() {
  const GameState& s = rt_.state;
  std::vector<StartupMessage> ignored;  // already reported at start-up
  const WindowSize size = configuredWindowSize(s, ignored);
  resize(size.width, size.height);
  Abok0->setGeometry(0, 0, size.width, size.height);
  Imp->setGeometry(0, 0, size.width, size.height);
  QImage background(size.width, size.height, QImage::Format_RGB32);
  uint32_t fill = 0;
  try {
    fill = colourToRgb(colourValue(s.config.at(cfg::kBackgroundColour)));
  } catch (const ScriptError&) {
    fill = 0xFF000000u;
  }
  background.fill(fill);
  const std::string& picture = s.config.at(cfg::kWindowPicture);
  if (!picture.empty()) {
    QImage loaded = loadGamePicture(picture);
    if (!loaded.isNull()) background = loaded;
  }
  Imp->setPicture(background);
}

void TForm1::startDrag(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  dragging_ = true;
  dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TForm1::dragTo(QMouseEvent* e) {
  if (dragging_ && (e->buttons() & Qt::LeftButton)) move(e->globalPosition().toPoint() - dragOffset_);
}

void TForm1::openingReleased(QMouseEvent* e) {
  dragging_ = false;
  if (e->modifiers() & Qt::ControlModifier) return;
  runGuarded(rt_, [this] { startGame(); });
}

void TForm1::startGame() {
  GameState& s = rt_.state;
  if (s.saveName().empty() || s.gameLoaded) return;
  // Before the first load the adventure folder is empty: the working directory.
  if (!scriptExists(s, "start")) {
    std::fprintf(stderr, "corvant: no start.scp or start.scx in the working directory; ending.\n");
    rt_.pumpEvents();
    rt_.host.sleepMs(200);
    endApplication(0);
    return;
  }
  hide();
  rt_.pumpEvents();
  const std::string error = loadGame(s, s.saveName());
  if (!error.empty()) {
    s.loadFailed = true;
    rt_.host.showError(error + "\n\nThe game cannot start; nothing was saved, so the files on disk are unchanged.");
    endApplication(1);
    return;
  }
  RunTimer->stop();
  applyGameLoadLayout();
  Abok0->setCurrentIndex(PageDefault);
  rt_.pumpEvents();

  s.script = s.iniScp;
  s.modelo = s.config.at(cfg::kScreenModel);
  if (s.script.empty()) s.script = "start";
  runGuarded(rt_, [this] { freshRun(rt_, rt_.state.script); });
  rt_.pumpEvents();
  repaint();
  show();
  rt_.pumpEvents();
}

void TForm1::endApplication(int code) { rt_.host.requestQuit(code); }

void TForm1::resetInputsForFreshRun() { Abok0->setCurrentIndex(PageDefault); }

void TForm1::setRunTimer(int intervalMs) {
  if (intervalMs <= 0) return RunTimer->stop();
  RunTimer->start(intervalMs);
}

// The held key is what `stop` and `inkey` read: recorded at every press and
// cleared at every release, whichever control has the focus.
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  auto* w = qobject_cast<QWidget*>(watched);
  if (w && w->window() == this) {
    if (event->type() == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(event);
      if (!k->isAutoRepeat() || rt_.state.heldKey == 0) rt_.state.heldKey = virtualKeyCode(k->key());
    } else if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
      rt_.state.heldKey = 0;
    }
  }
  return QWidget::eventFilter(watched, event);
}



void TForm1::closeEvent(QCloseEvent* e) {
  e->accept();
  endApplication(0);
}

void TForm1::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  WindowGeometry g{x(), y(), Abok0->width(), Abok0->height()};
  for (const auto& err : shutdownSave(rt_.state, g)) rt_.host.showError(err);
}

}  // namespace corvant
