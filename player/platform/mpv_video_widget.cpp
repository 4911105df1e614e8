#include "mpv_video_widget.h"

#include <mpv/render_gl.h>

#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QPainter>

namespace {
void* GetProcAddress(void* context, const char* name) {
  return reinterpret_cast<void*>(static_cast<QOpenGLContext*>(context)->getProcAddress(name));
}

// Makes the context current for a scope.
class CurrentContext {
 public:
  CurrentContext(QOpenGLContext& context, QOffscreenSurface& surface)
      : context_(context), current_(context.makeCurrent(&surface)) {}
  ~CurrentContext() {
    if (current_) context_.doneCurrent();
  }
  explicit operator bool() const { return current_; }

 private:
  QOpenGLContext& context_;
  bool current_;
};
}  // namespace

MpvVideoWidget::MpvVideoWidget(mpv_handle* mpv, QWidget* parent) : QWidget(parent), mpv_(mpv) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  if (!context_.create()) return;
  surface_.setFormat(context_.format());
  surface_.create();
  CurrentContext current(context_, surface_);
  if (!current) return;
  mpv_opengl_init_params glParams{GetProcAddress, &context_};
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
  target_ = std::make_unique<QOpenGLFramebufferObject>(1, 1);
  mpv_render_context_set_update_callback(render_, &MpvVideoWidget::OnUpdate, this);
}

MpvVideoWidget::~MpvVideoWidget() {
  if (!render_) return;
  CurrentContext current(context_, surface_);
  mpv_render_context_free(render_);
  target_.reset();
}

// Called on one of mpv's threads: only queue the work on the GUI thread, once.
void MpvVideoWidget::OnUpdate(void* context) {
  auto* self = static_cast<MpvVideoWidget*>(context);
  if (self->updateQueued_.exchange(true)) return;
  QMetaObject::invokeMethod(self, &MpvVideoWidget::Update, Qt::QueuedConnection);
}

void MpvVideoWidget::Update() {
  updateQueued_ = false;
  CurrentContext current(context_, surface_);
  if (!current) return;
  if (mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME) Render();
}

bool MpvVideoWidget::Shown() const { return isVisible() && !size().isEmpty(); }

void MpvVideoWidget::Render() {
  const bool shown = Shown();
  const QSize pixels = shown ? size() * devicePixelRatioF() : QSize(1, 1);
  if (target_->size() != pixels) target_ = std::make_unique<QOpenGLFramebufferObject>(pixels);
  mpv_opengl_fbo fbo{static_cast<int>(target_->handle()), pixels.width(), pixels.height(), 0};
  // Unflipped: the first row in the framebuffer is the picture's top row, as in a QImage.
  int flipY = 0;
  int skip = shown ? 0 : 1;
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
      {MPV_RENDER_PARAM_FLIP_Y, &flipY},
      {MPV_RENDER_PARAM_SKIP_RENDERING, &skip},
      {MPV_RENDER_PARAM_INVALID, nullptr},
  };
  if (mpv_render_context_render(render_, params) < 0 || !shown) return;
  if (picture_.size() != pixels) picture_ = QImage(pixels, QImage::Format_RGBX8888);
  target_->bind();
  context_.functions()->glReadPixels(0, 0, pixels.width(), pixels.height(), GL_RGBA,
                                     GL_UNSIGNED_BYTE, picture_.bits());
  target_->release();
  picture_.setDevicePixelRatio(devicePixelRatioF());
  update();
}

void MpvVideoWidget::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (!picture_.isNull()) painter.drawImage(QPoint(0, 0), picture_);
}

void MpvVideoWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  RedrawIfShown();
}

void MpvVideoWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  RedrawIfShown();
}

// A newly shown or resized area draws the current frame at once, also while paused.
void MpvVideoWidget::RedrawIfShown() {
  if (!render_ || !Shown()) return;
  CurrentContext current(context_, surface_);
  if (current) Render();
}
