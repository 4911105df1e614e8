#pragma once
// The area mpv draws video into, through its OpenGL render API.

#include <QOpenGLWidget>

struct mpv_handle;
struct mpv_render_context;

class MpvVideoWidget : public QOpenGLWidget {
  Q_OBJECT
 public:
  explicit MpvVideoWidget(mpv_handle* mpv, QWidget* parent = nullptr);
  ~MpvVideoWidget() override;

 protected:
  void initializeGL() override;
  void paintGL() override;

 private:
  static void OnUpdate(void* context);

  mpv_handle* mpv_;
  mpv_render_context* render_ = nullptr;
};
