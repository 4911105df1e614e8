#pragma once
// The area mpv draws video into, through its OpenGL render API.
//
// mpv draws on an OpenGL context of this widget's own, on an offscreen surface, into a
// framebuffer the size of the area, and the widget shows the result as a picture. So the
// renderer exists from the start and takes every frame whether or not the area is shown: a
// hidden or zero-size area only skips the drawing, and playback never waits for it. When the
// area is shown again it draws the current frame at once, also while paused.

#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QWidget>
#include <atomic>
#include <memory>

struct mpv_handle;
struct mpv_render_context;
class QOpenGLFramebufferObject;

class MpvVideoWidget : public QWidget {
  Q_OBJECT
 public:
  // mpv must be initialised. Check Ready(): without OpenGL there is no renderer.
  explicit MpvVideoWidget(mpv_handle* mpv, QWidget* parent = nullptr);
  ~MpvVideoWidget() override;
  bool Ready() const { return render_ != nullptr; }

  // The picture last drawn, as the area shows it (empty before the first frame).
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  static void OnUpdate(void* context);
  // On the GUI thread, after mpv has asked for it.
  void Update();
  // Draws the current frame into the area's picture, or only takes it when nothing is shown.
  void Render();
  bool Shown() const;
  void RedrawIfShown();

  mpv_handle* mpv_;
  QOpenGLContext context_;
  QOffscreenSurface surface_;
  std::unique_ptr<QOpenGLFramebufferObject> target_;
  mpv_render_context* render_ = nullptr;
  QImage picture_;
  std::atomic<bool> updateQueued_{false};
};
