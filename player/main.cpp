#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("Quillmark");
  window.resize(5310 / 15, 2175 / 15);
  window.show();
  return app.exec();
}
