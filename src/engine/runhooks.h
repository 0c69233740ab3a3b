#pragma once
// The steps of a run that belong to the windows. The driver calls them in
// their fixed order; the main window implements them. Steps whose surfaces
// do not exist yet do nothing.
#include <string>

namespace corvant {

class RunHooks {
 public:
  virtual ~RunHooks() = default;

  // Before every run: the video stops and hides, the text viewer's panels
  // follow its background switch, the viewer's pending script is cleared.
  virtual void beforeRun() {}
  // Fresh run, first part: video, input boxes, the outer notebook's game page.
  virtual void resetInputsForFreshRun() {}
  // Fresh run, second part: text layout values, window to front, viewer and
  // rain timers, the screen's click script, link table, cursor and the other
  // per-run presentation defaults.
  virtual void resetPresentationForFreshRun() {}
  // Text settings from the configuration; subtitles emptied and moved away.
  virtual void reloadTextSettings() {}
  // The automatic re-layout (only called when the model is not "4" and the
  // flag is on).
  virtual void autoRelayout() {}
  // After the text buffer is emptied: the scratch picture takes the screen size.
  virtual void prepareRunSurfaces() {}

  // End of a run, before the save: overlay, screen, monitor and panel buffers.
  virtual void presentBuffers() {}
  // End of a run, after the save and one pass of events: command line focus,
  // map page, scrolling screen, HTML page.
  virtual void refreshAfterRun() {}
  // Last: the chat window and floating windows redraw and run their step.
  virtual void redrawAuxiliaryWindows() {}

  // `script` without "on": the link table is reset, the game screen's cursor
  // becomes the arrow and its click script is cleared.
  virtual void resetLinksForScriptSwitch() {}
  // The run timer (RunTimer); 0 stops it.
  virtual void setRunTimer(int /*intervalMs*/) {}
};

}  // namespace corvant
