#pragma once
// TForm1, the main window: borderless, its surface made of named components.
// It owns the game state through the runtime and implements the presentation
// side of a run.
#include <QPoint>
#include <QStackedWidget>
#include <QTimer>
#include <QWidget>

#include "engine/runhooks.h"
#include "presentation/picturewidget.h"

namespace corvant {

struct Runtime;
struct LaunchOptions;

class TForm1 : public QWidget, public RunHooks {
  Q_OBJECT
 public:
  enum OuterPage { PageDefault = 0, PageImagens = 1, PageAbertura = 2 };

  TForm1(Runtime& rt, const LaunchOptions& launch);
  ~TForm1() override;

  // False when start-up met a problem it cannot go on from (no configuration).
  bool startedOk() const { return startedOk_; }
  // Writes the configuration and the saved game; runs once.
  void shutdown();

  QStackedWidget* Abok0 = nullptr;
  PictureWidget* Imp = nullptr;
  PictureWidget* TelAber = nullptr;
  QTimer* RunTimer = nullptr;

  // RunHooks
  void resetInputsForFreshRun() override;
  void setRunTimer(int intervalMs) override;

 protected:
  // The window sees keys before its controls do.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void createComponents();
  void runCreationSteps(const LaunchOptions& launch);
  void reportStartup(const std::string& text);
  void startDrag(QMouseEvent* e);
  void dragTo(QMouseEvent* e);
  void openingReleased(QMouseEvent* e);
  void startGame();
  void applyGameLoadLayout();
  QImage loadGamePicture(const std::string& name);
  void endApplication(int code);

  Runtime& rt_;
  bool startedOk_ = true;
  bool shutDown_ = false;
  bool dragging_ = false;
  QPoint dragOffset_;
};

}  // namespace corvant
