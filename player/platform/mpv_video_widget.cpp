#include "mpv_video_widget.h"

#include <mpv/render_gl.h>

#include <QOpenGLContext>

namespace {
void* GetProcAddress(void*, const char* name) {
  QOpenGLContext* context = QOpenGLContext::currentContext();
  return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}
}  // namespace

MpvVideoWidget::MpvVideoWidget(mpv_handle* mpv, QWidget* parent)
    : QOpenGLWidget(parent), mpv_(mpv) {}

MpvVideoWidget::~MpvVideoWidget() {
  if (render_) {
    makeCurrent();
    mpv_render_context_free(render_);
    doneCurrent();
  }
}

void MpvVideoWidget::initializeGL() {
  mpv_opengl_init_params glParams{GetProcAddress, nullptr};
  const char* api = MPV_RENDER_API_TYPE_OPENGL;
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(api)},
      {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glParams},
      {MPV_RENDER_PARAM_INVALID, nullptr},
  };
  if (mpv_render_context_create(&render_, mpv_, params) < 0) {
    render_ = nullptr;
    return;
  }
  mpv_render_context_set_update_callback(render_, &MpvVideoWidget::OnUpdate, this);
}

void MpvVideoWidget::paintGL() {
  if (!render_) return;
  const qreal scale = devicePixelRatioF();
  mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()),
                     static_cast<int>(width() * scale), static_cast<int>(height() * scale), 0};
  int flipY = 1;
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
      {MPV_RENDER_PARAM_FLIP_Y, &flipY},
      {MPV_RENDER_PARAM_INVALID, nullptr},
  };
  mpv_render_context_render(render_, params);
}

// Called on one of mpv's threads: only queue a repaint on the GUI thread.
void MpvVideoWidget::OnUpdate(void* context) {
  auto* self = static_cast<MpvVideoWidget*>(context);
  QMetaObject::invokeMethod(self, [self] { self->update(); }, Qt::QueuedConnection);
}
