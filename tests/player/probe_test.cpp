// The probe: one JSON line per file from the real window, and the program's own --probe run.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "json_line.h"
#include "probe.h"
#include "support/form_fixture.h"
#include "support/recordings.h"
#include "support/test_media.h"

namespace {

QJsonObject Parse(const std::string& line) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
  return document.object();
}

using ProbeRecordTest = FormTest;

TEST_F(ProbeRecordTest, BroadcastWaveRecord) {
  const QString path = Path("take.wav");
  ASSERT_TRUE(test_media::WriteBroadcastWave(path, "FRAMERATE=25.000 ND\r\n", 172800000));
  Open(path);
  const QJsonObject record = Parse(ProbeRecord(*form, "take.wav"));
  const QStringList keys{"file", "caption", "MediaExt", "NoBext", "ChunkCount", "chunks",
                         "Framerate", "FramerateColor", "STC", "Duration", "Samplerate", "FDT",
                         "UB", "TCLabel", "TCSource", "TCOffset", "BWFStartTC", "ID3StartTC",
                         "ID3Duration", "UserTCValue", "BookmarkFile", "Bookmarks", "BookmarkPos",
                         "Dbugtxt"};
  EXPECT_EQ(record.keys().size(), keys.size());
  for (const QString& key : keys) EXPECT_TRUE(record.contains(key)) << key.toStdString();
  EXPECT_EQ(record["file"].toString(), "take.wav");
  EXPECT_EQ(record["caption"].toString(), "Quillmark - take.wav");
  EXPECT_EQ(record["NoBext"].toBool(), false);
  EXPECT_EQ(record["ChunkCount"].toInt(), 4);
  const QJsonArray chunks = record["chunks"].toArray();
  ASSERT_EQ(chunks.size(), 3);
  EXPECT_EQ(chunks[0].toObject()["Id"].toString(), "bext");
  EXPECT_EQ(chunks[0].toObject()["Pos"].toInt(), 12);
  EXPECT_EQ(chunks[2].toObject()["Id"].toString(), "data");
  EXPECT_EQ(chunks[2].toObject()["Size"].toInt(), 192000);
  EXPECT_EQ(record["FramerateColor"].toInt(), 65280);
  EXPECT_EQ(record["STC"].toString(), "01:00:00:00");
  EXPECT_EQ(record["TCSource"].toInt(), 3);
  EXPECT_EQ(record["TCOffset"].toDouble(), 3600);
  EXPECT_EQ(record["Bookmarks"].toArray().size(), 12);
  EXPECT_EQ(record["Bookmarks"].toArray()[11].toString(), "F12 = 00:00:00:00");
  EXPECT_EQ(record["BookmarkPos"].toArray().size(), 12);
}

TEST(ProbeNumbers, ShortestRoundTrip) {
  const std::string line = JsonLine().Number("a", 0.1).Number("b", 36000).Number("c", 3596.4036).str();
  EXPECT_EQ(line, R"({"a":0.1,"b":36000,"c":3596.4036})");
  EXPECT_EQ(JsonLine::Quoted(QString("a\"b\\\n") + QChar(1)), R"("a\"b\\\n\u0001")");
}

TEST(ProbeProgram, ProbesEachFileAndReportsTheMissingOne) {
  QTemporaryDir dir;
  const QString mp3 = dir.filePath("tag.mp3");
  ASSERT_TRUE(test_media::WriteMp3WithKeys(mp3, "UB=01020304 TC=10:00:00:00 FR=25.000 ND"));
  const QString wav = dir.filePath("tone.wav");
  ASSERT_TRUE(test_media::WriteTone(wav, 1.0));

  QProcess probe;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("ASAN_OPTIONS", "detect_leaks=0");
  probe.setProcessEnvironment(environment);
  probe.start(QUILLMARK_PROGRAM, {"--probe", "--framerate", "29.970 DF", mp3,
                                  dir.filePath("missing.wav"), wav});
  ASSERT_TRUE(probe.waitForFinished(60000));
  EXPECT_EQ(probe.exitCode(), 1);
  EXPECT_TRUE(probe.readAllStandardError().contains("missing.wav"));
  const QList<QByteArray> lines = probe.readAllStandardOutput().trimmed().split('\n');
  ASSERT_EQ(lines.size(), 2);
  const QJsonObject tagged = Parse(lines[0].toStdString());
  EXPECT_EQ(tagged["STC"].toString(), "10:00:00:00");
  EXPECT_EQ(tagged["Framerate"].toString(), "25.000 ND");
  EXPECT_EQ(tagged["TCOffset"].toDouble(), 36000);
  EXPECT_EQ(tagged["UB"].toString(), "01020304 ");
  // Each file's record is its own: nothing of the tagged file is left in the plain one's.
  const QJsonObject plain = Parse(lines[1].toStdString());
  EXPECT_EQ(plain["UB"].toString(), "");
  EXPECT_EQ(plain["STC"].toString(), "00:00:00:00");
  EXPECT_EQ(plain["Framerate"].toString(), "29.970 DF");
  EXPECT_EQ(plain["FramerateColor"].toInt(), 255);
  EXPECT_EQ(plain["MediaExt"].toString(), "wav");
  EXPECT_EQ(plain["TCSource"].toInt(), 1);
}

TEST(ProbeProgram, RejectsAnUnknownFrameRate) {
  QProcess probe;
  probe.start(QUILLMARK_PROGRAM, {"--probe", "--framerate", "31 ND", "x.wav"});
  ASSERT_TRUE(probe.waitForFinished(60000));
  EXPECT_EQ(probe.exitCode(), 2);
}

}  // namespace
