// The desktop entry and the Open dialog offer the same recordings: every type the entry lets a
// file manager hand over is one the dialog's filter shows, and every pattern of the filter
// names a type the entry lists. Types come from the system's MIME database, as a file manager
// looks them up.

#include <QFile>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QSet>

#include "support/form_fixture.h"
#include "support/recordings.h"

namespace {

QStringList DesktopEntryMimeTypes() {
  QFile file(QUILLMARK_DESKTOP_ENTRY);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << QUILLMARK_DESKTOP_ENTRY;
  bool inEntry = false;
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.startsWith('[')) inEntry = line == "[Desktop Entry]";
    if (inEntry && line.startsWith("MimeType=")) {
      return line.mid(9).split(';', Qt::SkipEmptyParts);
    }
  }
  ADD_FAILURE() << "no MimeType line";
  return {};
}

// The file name patterns of every pair of the filter, "*.*" left out.
QStringList FilterExtensions(const QString& filter) {
  QStringList extensions;
  const QStringList parts = filter.split('|');
  for (qsizetype i = 1; i < parts.size(); i += 2) {
    for (const QString& pattern : parts[i].split(';', Qt::SkipEmptyParts)) {
      if (pattern != "*.*") extensions << pattern.mid(2);  // after "*."
    }
  }
  return extensions;
}

using DesktopEntry = FormTest;

TEST_F(DesktopEntry, TypesAndTheOpenDialogsFilterAdmitEachOther) {
  dialog.answers << "";
  form->Fileopen_Click();
  const QStringList extensions = FilterExtensions(dialog.shownFilter);
  ASSERT_GE(extensions.size(), 9);

  const QMimeDatabase db;
  QSet<QString> listed;  // the entry's types under their canonical names
  for (const QString& name : DesktopEntryMimeTypes()) {
    const QMimeType type = db.mimeTypeForName(name);
    ASSERT_TRUE(type.isValid()) << name.toStdString() << " is no type the system knows";
    listed << type.name();
    // The dialog matches patterns without regard to case.
    bool admitted = false;
    for (const QString& suffix : type.suffixes()) {
      admitted = admitted || extensions.contains(suffix, Qt::CaseInsensitive);
    }
    EXPECT_TRUE(admitted) << name.toStdString() << " (" << type.suffixes().join(' ').toStdString()
                          << ") is not in the Open dialog's filter";
  }

  for (const QString& extension : extensions) {
    QStringList types;
    for (const QMimeType& type : db.mimeTypesForFileName("recording." + extension)) {
      types << type.name();
    }
    if (types.isEmpty()) {
      // A name the database has no pattern for (a broadcast-wave file's .bwf) is known by its
      // content.
      const QString path = Path("recording." + extension);
      ASSERT_TRUE(test_media::WriteBroadcastWave(path, "", 0));
      types << db.mimeTypeForFile(path).name();
    }
    for (const QString& type : types) {
      EXPECT_TRUE(listed.contains(type)) << "*." << extension.toStdString() << " is "
                                         << type.toStdString() << ", not in the desktop entry";
    }
  }
}

}  // namespace
