#pragma once
// The real Form1 on the fakes, published on the test program's private session bus, and a second
// connection to that bus playing the outside program. Calls from the test go out asynchronously
// and are waited for on the event loop, so the window handles them as it would from any client.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <memory>

#include "remote/remote_control.h"
#include "remote/remote_names.h"
#include "support/clipboard_in_player_log.h"
#include "support/form_fixture.h"
#include "support/private_session_bus.h"
#include "support/program_run.h"
#include "support/test_media.h"
#include "support/wait.h"

// A client of its own on the private bus.
class BusClient {
 public:
  BusClient()
      : bus_(QDBusConnection::connectToBus(PrivateSessionBus::Address(), "outside program")) {}

  QDBusConnection& bus() { return bus_; }

  QDBusMessage Call(const QString& interface, const QString& method,
                    const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        remote_names::kServiceName, remote_names::kObjectPath, interface, method);
    call.setArguments(arguments);
    QDBusPendingCall pending = bus_.asyncCall(call, 10000);
    EXPECT_TRUE(WaitUntil([&] { return pending.isFinished(); }, 10000)) << method.toStdString();
    return pending.reply();
  }
  QDBusMessage CallPlayer(const QString& method, const QVariantList& arguments = {}) {
    return Call(remote_names::kPlayerInterface, method, arguments);
  }
  QDBusMessage CallAction(const QString& method, const QVariantList& arguments = {}) {
    return Call(remote_names::kActionsInterface, method, arguments);
  }

  QVariant Property(const QString& interface, const QString& name) {
    const QDBusMessage reply =
        Call(remote_names::kPropertiesInterface, "Get", {interface, name});
    return qvariant_cast<QDBusVariant>(reply.arguments().value(0)).variant();
  }
  QVariant PlayerProperty(const QString& name) {
    return Property(remote_names::kPlayerInterface, name);
  }
  QVariantMap Metadata() {
    return qdbus_cast<QVariantMap>(PlayerProperty("Metadata").value<QDBusArgument>());
  }
  QDBusMessage SetPlayerProperty(const QString& name, const QVariant& value) {
    return Call(remote_names::kPropertiesInterface, "Set",
                {QString(remote_names::kPlayerInterface), name,
                 QVariant::fromValue(QDBusVariant(value))});
  }

 private:
  QDBusConnection bus_;
};

inline ProgramRun Playerctl(const QStringList& arguments) {
  return RunProgram("playerctl", QStringList{"--player=quillmark"} + arguments);
}

class RemoteFormTest : public FormTest {
 protected:
  void SetUp() override { ShowWindow(&messages); }
  // The fixture's window on the bus, showing its message boxes through `boxes`, with a clipboard
  // that notes its copies in the player's call log.
  void ShowWindow(MessageBoxes* boxes) {
    boxesShownBy = boxes;
    FormTest::SetUp();
    Publish();
  }
  void TearDown() override {
    remote.reset();
    FormTest::TearDown();
  }
  // A recording on disk, opened in the window, which the player reports loaded and paused.
  void OpenPaused(const QString& name, double duration, double position) {
    ASSERT_TRUE(test_media::WriteAll(Path(name), QByteArray(64, 'x')));
    player.state = MediaPlayer::kPaused;
    player.durationSeconds = duration;
    player.position = position;
    Open(Path(name));
  }
  FormPlatform Platform() override {
    FormPlatform platform = PlatformIn(dir.path());
    platform.clipboard = &logged;
    platform.messageBoxes = boxesShownBy;
    return platform;
  }
  // Puts the present window on the bus.
  void Publish() {
    remote = std::make_unique<RemoteControl>(
        *form, QDBusConnection::connectToBus(PrivateSessionBus::Address(), "window"));
    ASSERT_EQ(remote->Start(), RemoteControl::Claim::Claimed);
  }

  MessageBoxes* boxesShownBy = nullptr;
  ClipboardInPlayerLog logged{player};
  std::unique_ptr<RemoteControl> remote;
  BusClient client;
};
