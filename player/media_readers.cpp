// The time code readers of an opened recording, as the window runs them: each reads the file
// through the readers in timecode/ and shows what they found in the labels and form-level state.

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>

#include "bwf_reader.h"
#include "form1.h"
#include "form_text.h"
#include "id3_reader.h"
#include "platform/file_dialog.h"
#include "platform/media_player.h"
#include "platform/message_boxes.h"
#include "time_of_day.h"

namespace {

constexpr int kGreen = 0x00FF00;

// Texts taken from files are bytes, shown one character per byte.
QString FileText(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void Form1::AppendDebug(std::string_view text) {
  QString lines = FileText(text);
  lines.replace("\r\n", "\n");
  Dbugtxt->setPlainText(Dbugtxt->toPlainText() + lines);
}

void Form1::ScanChunks() {
  Chunks = timecode::ScanChunks(LocalPath(cdlg1->FileName()));
  MediaExt = FileText(Chunks.mediaExt);
  NoBext = Chunks.noBext;
  Dbugtxt->clear();
  AppendDebug(Chunks.debugText);
}

void Form1::ReadBWFTimeCode() {
  const timecode::BwfTimeCode bwf =
      timecode::ReadBWFTimeCode(LocalPath(cdlg1->FileName()), Chunks, CaptionText(Framerate));
  Samplerate->setText(FileText(bwf.samplerate));
  FDT->setText(FileText(bwf.fdt));
  Framerate->setText(FileText(bwf.framerate));
  if (bwf.framerateFromFile) SetForeColor(Framerate, kGreen);
  if (bwf.ub) UB->setText(FileText(*bwf.ub));
  STC->setText(FileText(bwf.stc));
  Duration->setText(FileText(bwf.duration));
  TCLabel->setText(FileText(bwf.tcLabel));
  TCOffset = bwf.tcOffset;
  BWFStartTC = bwf.bwfStartTC;
  TCSource = static_cast<qint16>(bwf.tcSource);
  AppendDebug(bwf.debugAppend);
}

void Form1::ReadID3TimeCode() {
  const std::string stc = CaptionText(STC);
  const std::string framerate = CaptionText(Framerate);
  const std::string fdt = CaptionText(FDT);
  const timecode::Id3TimeCode id3 =
      timecode::ReadID3TimeCode(LocalPath(cdlg1->FileName()), {stc, framerate, fdt});
  // The reader stops at its first failure: what it found up to there is shown, nothing after.
  TCLabel->setText(FileText(id3.tcLabel));
  Duration->setText(FileText(id3.duration));
  if (id3.stc) STC->setText(FileText(*id3.stc));
  if (id3.tcSource) TCSource = static_cast<qint16>(*id3.tcSource);
  if (id3.ub) UB->setText(FileText(*id3.ub));
  if (id3.framerate) {
    Framerate->setText(FileText(*id3.framerate));
    SetForeColor(Framerate, kGreen);
  }
  if (id3.debugAppend) AppendDebug(*id3.debugAppend);
  if (id3.tcOffset) TCOffset = *id3.tcOffset;
  if (id3.id3Duration) ID3Duration = *id3.id3Duration;
  if (id3.fdt) FDT->setText(FileText(*id3.fdt));
  if (id3.id3StartTC) ID3StartTC = *id3.id3StartTC;
}

void Form1::ReadTODTimeCode() {
  const std::string stc = CaptionText(STC);
  const std::string framerate = CaptionText(Framerate);
  const timecode::TimeOfDayTimeCode tod = timecode::ReadTODTimeCode(
      LocalPath(cdlg1->FileName()), {stc, framerate, ID3Duration, MP1->duration()});
  if (tod.outcome == timecode::TimeOfDayOutcome::FileUnavailable) return;
  FDT->setText(FileText(tod.fdt));
  TOD->setText(FileText(tod.tod));
  switch (tod.outcome) {
    case timecode::TimeOfDayOutcome::NoDuration:
      MsgBox->Show(FileText(timecode::kNoDurationMessage), FileText(timecode::kNoDurationTitle),
                   MessageBoxes::Buttons::OkOnly);
      // The offset stays as it was: the bare time of day shown under the current source's name
      // would be a wrong time code. The start is computed on a later play, once the duration
      // is known.
      break;
    case timecode::TimeOfDayOutcome::StartSet: {
      STC->setText(FileText(tod.stc));
      const bool moved = TCOffset != tod.tcOffset;
      TCOffset = tod.tcOffset;
      TODStartTC = tod.todStartTC;
      TCSource = static_cast<qint16>(tod.tcSource);
      TCLabel->setText(FileText(tod.tcLabel));
      if (moved) RemakeBookmarkTexts();
      break;
    }
    default:
      break;
  }
}
