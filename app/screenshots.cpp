#include "app/screenshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <string_view>
#include <vector>

#include "app/files/frmFilepathExclusions.h"
#include "app/files/frmSelectSubfolders.h"
#include "app/frmMain.h"
#include "app/index/frmIndexMain.h"
#include "app/qt_ports.h"
#include "app/qt_text.h"
#include "app/search/frmSearchMain.h"
#include "app/shell/controls.h"
#include "app/shell/frmLargeDisplay.h"
#include "app/shell/frmPopUp.h"
#include "engine/common/launcher_state.h"
#include "engine/common/ports.h"
#include "engine/common/program_folder.h"
#include "engine/common/program_texts.h"
#include "engine/files/folder.h"
#include "engine/index/index_settings.h"
#include "engine/modules/index_module.h"

namespace orvane {

namespace {

// Nobody is there to answer while the pictures are taken: a message goes to
// standard error and a question gets Yes (or OK), so no box waits.
class UnattendedPrompter : public Prompter {
 public:
  void ShowMessage(MessageIcon, std::string_view title,
                   std::string_view text) override {
    std::fprintf(stderr, "orvane: [%.*s] %.*s\n",
                 static_cast<int>(title.size()), title.data(),
                 static_cast<int>(text.size()), text.data());
  }
  Answer Ask(MessageIcon icon, std::string_view title, std::string_view text,
             MessageButtons buttons) override {
    ShowMessage(icon, title, text);
    return buttons == MessageButtons::kOk ||
                   buttons == MessageButtons::kOkCancel
               ? Answer::kOk
               : Answer::kYes;
  }
};

// A window as the desktop shows it: a title bar with the caption above the
// window's contents, and a thin frame. Windows without a caption (the pop-up
// note) get the frame only.
QImage Framed(QWidget& window) {
  // Let pending layouts settle first (scroll bars, wrapped lines).
  QCoreApplication::processEvents();
  const QPixmap contents = window.grab();
  const QString caption = window.windowTitle();
  const int bar = caption.isEmpty() ? 0 : 28;
  const int border = 1;
  QImage image(contents.width() + 2 * border,
               contents.height() + bar + 2 * border, QImage::Format_RGB32);
  image.fill(QColor(0x5a, 0x5a, 0x66));
  QPainter painter(&image);
  if (bar > 0) {
    painter.fillRect(border, border, contents.width(), bar,
                     QColor(0x3b, 0x4a, 0x6b));
    QFont font = window.font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(border + 10, border, contents.width() - 20, bar),
                     Qt::AlignVCenter | Qt::AlignLeft, caption);
  }
  painter.drawPixmap(border, border + bar, contents);
  return image;
}

// A window with a second window over it, each framed, the second at its
// place relative to the first.
QImage FramedWithOver(QWidget& window, QWidget& over) {
  QImage image = Framed(window);
  const QImage top = Framed(over);
  const QPoint offset = over.geometry().topLeft() - window.geometry().topLeft();
  QPainter painter(&image);
  // The title bars: the first window's bar lies above its contents.
  painter.drawImage(offset + QPoint(0, 0), top);
  return image;
}

class Writer {
 public:
  explicit Writer(const QString& folder) : folder_(folder) {}

  void Write(QWidget& window, const char* form_name) {
    Save(Framed(window), form_name);
  }
  void Write(QWidget& window, QWidget& over, const char* picture_name) {
    Save(FramedWithOver(window, over), picture_name);
  }
  void Save(const QImage& image, const char* picture_name) {
    const QString path = QDir(folder_).filePath(QString(picture_name) + ".png");
    if (image.save(path, "PNG")) {
      std::printf("%s\n", path.toLocal8Bit().constData());
    } else {
      std::fprintf(stderr, "orvane: cannot write %s\n",
                   path.toLocal8Bit().constData());
      ok_ = false;
    }
  }
  bool ok() const { return ok_; }

 private:
  QString folder_;
  bool ok_ = true;
};

// A file list as the Index Module lists the files it is about to index.
std::vector<std::string> SampleFileList() {
  return {"letters/1998/to the council.txt",
          "letters/1998/to the printer.txt",
          "letters/1999/reply from the archive.txt",
          "mail/inbox/2004-03-12 minutes.eml",
          "mail/inbox/2004-03-19 agenda.eml",
          "mail/sent/2004-03-13 re minutes.eml",
          "notes/catalogue.htm",
          "notes/index of maps.htm",
          "notes/reading list.txt",
          "reports/annual report 2003.htm",
          "reports/annual report 2004.htm",
          "reports/survey of the river banks.txt"};
}

// A project over the sample tree that ships with the program, indexed into
// a scratch folder: the window as a user sees it after "Create index file".
void FillInIndexProject(frmIndexMain& window) {
  static QTemporaryDir output;
  window.show();
  FindControl<QLineEdit>(window, "txbProjectName")->setText("sample");
  FindControl<QLineEdit>(window, "txbTitle")->setText("The sample tree");
  FindControl<QLineEdit>(window, "txbTopFolder")
      ->setText(
          QString::fromStdString(ProgramFilePath("sample").string() + "/"));
  FindControl<QLineEdit>(window, "txbOutputFolder")
      ->setText(output.path() + "/");
  FindControl<QPlainTextEdit>(window, "txbIncludedFolders")
      ->setPlainText("literature\nmail\nnotes\nweb");
  FindControl<QCheckBox>(window, "chkIncludeSubfoldersOfSubfolders")
      ->setChecked(true);
  window.RefreshTopFolderState();
  FindControl<QLineEdit>(window, "txbExcludedFilepaths")
      ->setText("drafts, old");
  FindControl<QPushButton>(window, "cmdTopFolder")->setFocus();
  FindControl<QPushButton>(window, "cmdExtractData")->click();
  QCoreApplication::processEvents();
}

// Indexes the sample tree that ships with the program into folder; returns
// the index file's path, or empty when that failed.
std::string IndexSampleTree(const std::string& folder, Prompter& prompter,
                            LargeDisplay& display) {
  const std::string sample = ProgramFilePath("sample").string();
  if (!FolderExists(sample)) return std::string();
  QWidget no_window;
  QtViewState view(no_window);
  QtYield yield;
  QtClock clock;
  LauncherState launcher;
  IndexModule indexer(
      IndexPorts{prompter, view, yield, display, clock, launcher});
  IndexSettings& settings = indexer.settings();
  SetDefaults(&settings);
  settings.txbProjectName = "sample";
  settings.txbTitle = "The sample tree of Orvane File Search";
  settings.txbTopFolder = sample + "/";
  settings.txbOutputFolder = folder + "/";
  FolderError error;
  if (!IncludeWholeTree(&settings, &error)) return std::string();
  settings.chkExcludeSpecialLetters = false;
  indexer.common_words().LoadCommonWords(ProgramFilePath("cwds.txt"));
  if (indexer.CreateIndexFile() != RunOutcome::kCompleted) return std::string();
  return indexer.state().index_path;
}

// The Search Module after a search of the sample tree, its options in
// view; then the large display listing the indexed files inside it.
void WriteSearchModule(frmMain& launcher, Prompter& prompter, Writer& writer,
                       const QString& out) {
  launcher.cmdSearchModule->click();
  auto* search = qobject_cast<frmSearchMain*>(launcher.module());
  if (search == nullptr) return;
  const QString scratch = QDir(out).filePath("sample-index");
  QDir().mkpath(scratch);
  const std::string index = IndexSampleTree(scratch.toStdString(), prompter,
                                            launcher.large_display());
  if (!index.empty()) {
    search->ReceiveHandOver(ProgramFilePath("sample").string() + "/", index);
    FindControl<QCheckBox>(search, "chkGenerateHTML")->setChecked(false);
    FindControl<QCheckBox>(search, "chkSortMatches")->setChecked(true);
    FindControl<QComboBox>(search, "cboSearchType")->setCurrentIndex(0);
    FindControl<QLineEdit>(search, "txbSearchWords")
        ->setText("licen* warrant*");
    FindControl<QPushButton>(search, "cmdSearch")->click();
    FindControl<QPlainTextEdit>(search, "txbFiles")
        ->moveCursor(QTextCursor::Start);
  }
  writer.Write(*search, "frmSearchMain");
  if (!index.empty()) {
    frmLargeDisplay& display = launcher.large_display();
    FindControl<QRadioButton>(search, "optByFolder")->setChecked(true);
    FindControl<QPushButton>(search, "cmdListIndexedFiles")->click();
    display.ShowBeginning();
    writer.Write(*search, display, "frmSearchMain-listing");
    display.Hide();
  }
  search->close();
  QCoreApplication::processEvents();
  QDir(scratch).removeRecursively();
}

// A file of size bytes at folder/relative, its folders made.
bool WriteSampleFile(const QString& folder, const QString& relative,
                     qint64 size) {
  const QString path = QDir(folder).filePath(relative);
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  return file.write(QByteArray(size, 'x')) == size;
}

// A top folder with more subfolders than the window has boxes: some with
// files, one tree too large to count whole, one empty.
bool MakeSampleTopFolder(const QString& top) {
  struct Sub {
    const char* name;
    int files;
    qint64 size;
  } subs[] = {{"accounts", 12, 48000},
              {"archive", 3, 900000},
              {"correspondence", 41, 7000},
              {"drafts", 5, 12000},
              {"html pages", 18, 26000},
              {"letters 1998", 9, 3100},
              {"letters 1999", 11, 2900},
              {"mail", 2, 150000},
              {"maps", 1, 5000},
              {"minutes", 24, 4200},
              {"notes", 7, 1800},
              {"press cuttings", 16, 9000},
              {"reports", 6, 64000},
              {"surveys", 4, 22000},
              {"tmp", 0, 0}};
  for (const Sub& sub : subs) {
    const QString name = QString::fromUtf8(sub.name);
    if (!QDir(top).mkpath(name)) return false;
    for (int i = 0; i < sub.files; ++i) {
      if (!WriteSampleFile(top, name + QString("/file %1.txt").arg(i),
                           sub.size)) {
        return false;
      }
    }
  }
  // The mail tree holds more files than a size count reads.
  for (int i = 0; i < 210; ++i) {
    if (!WriteSampleFile(top, QString("mail/inbox/%1.eml").arg(i), 2400)) {
      return false;
    }
  }
  return WriteSampleFile(top, "archive/1997/old.txt", 700);
}

void WriteSmallWindows(frmMain& launcher, Writer& writer) {
  QTemporaryDir top;
  if (top.isValid() && MakeSampleTopFolder(top.path())) {
    frmSelectSubfolders subfolders(launcher.services(), &launcher);
    SelectSubfoldersValues& values = subfolders.values();
    values.strCaption = GetProgramText(24);
    values.strTopFolder = QFile::encodeName(top.path()).toStdString();
    values.strFoldersPassedToSelectFoldersForm =
        "correspondence\r\nletters 1998\r\nmail\r\nminutes\r\n";
    subfolders.Activate();
    writer.Write(subfolders, "frmSelectSubfolders");
    subfolders.cmdCancel->click();
  }

  QWidget index_window;
  index_window.setGeometry(40, 40, 900, 640);
  QLineEdit list(&index_window);
  list.setText("~$, backup/, drafts/old, tmp/, .cache/");
  frmFilepathExclusions exclusions(launcher.services(), index_window, list);
  exclusions.Activate();
  writer.Write(exclusions, "frmFilepathExclusions");
  exclusions.cmdCancel->click();
}

}  // namespace

int WriteScreenshots(const std::string& folder) {
  const QString out = QString::fromStdString(folder);
  if (!QDir().mkpath(out)) {
    std::fprintf(stderr, "orvane: cannot create the folder %s\n",
                 folder.c_str());
    return 1;
  }
  UnattendedPrompter prompter;
  QtYield yield;
  QtOpener opener;
  QtDialogs dialogs;
  QtClock clock;
  frmMain launcher(prompter, yield, opener, dialogs, clock);
  if (!launcher.Form_Load()) return 1;
  Writer writer(out);
  writer.Write(launcher, "frmMain");

  // The note confirming saved settings, caught while it is up.
  frmPopUp& pop_up = launcher.pop_up();
  QTimer::singleShot(100, &pop_up, [&] {
    writer.Write(pop_up, "frmPopUp");
    pop_up.Timer1->stop();
    pop_up.hide();
  });
  pop_up.PopUpCenter(GetProgramText(17), 2000, 380, 5000);

  frmLargeDisplay& display = launcher.large_display();
  std::vector<std::string> files = SampleFileList();
  display.SetCaption(std::to_string(files.size()) + " files are to be indexed");
  display.SetReadOnly(true);
  display.Clear();
  display.Output(GetProgramText(155), 2, false);
  display.DisplayArray(files, 0, static_cast<std::int32_t>(files.size()) - 1,
                       "", true);
  display.SetCopyButtonCaption("Copy to clipboard");
  display.Show();
  display.ShowBeginning();
  writer.Write(display, "frmLargeDisplay");
  display.Hide();

  WriteSmallWindows(launcher, writer);

  launcher.cmdIndexModule->click();
  if (auto* index_module = qobject_cast<frmIndexMain*>(launcher.module())) {
    FillInIndexProject(*index_module);
    writer.Write(*index_module, "frmIndexMain");
    index_module->close();
  }
  QCoreApplication::processEvents();
  WriteSearchModule(launcher, prompter, writer, out);
  return writer.ok() ? 0 : 1;
}

}  // namespace orvane
