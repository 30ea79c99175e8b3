#include "platform/ui/Dateidialog.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLocale>
#include <QScreen>
#include <QTreeView>

#include <algorithm>

namespace {

Dateidialog::Ausfuehrung& Ausfuehrung() {
  static Dateidialog::Ausfuehrung a;
  return a;
}

const QLocale& Deutsch() {
  static const QLocale l(QLocale::German, QLocale::Germany);
  return l;
}

// Icons and type texts from the name alone. Qt's own provider asks the MIME database, which opens a file
// whose name does not settle its type (the database, its -wal and -shm) and closes it again.
class NurNamenSymbole : public QFileIconProvider {
 public:
  NurNamenSymbole() { setOptions(QAbstractFileIconProvider::DontUseCustomDirectoryIcons); }
  QIcon icon(IconType art) const override { return QFileIconProvider::icon(art); }
  QIcon icon(const QFileInfo& info) const override {
    if (info.isRoot()) return QFileIconProvider::icon(Drive);
    return QFileIconProvider::icon(info.isDir() ? Folder : File);
  }
  QString type(const QFileInfo& info) const override {
    if (info.isDir()) return QStringLiteral("Ordner");
    const QString endung = info.suffix();
    return endung.isEmpty() ? QStringLiteral("Datei") : endung.toUpper() + QStringLiteral("-Datei");
  }
};

// Size and date in German whatever the system's locale (the model formats them with the system's).
class DeutscheSpalten : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  QVariant data(const QModelIndex& index, int rolle) const override {
    if (rolle == Qt::DisplayRole && (index.column() == 1 || index.column() == 3)) {
      const auto* modell = qobject_cast<const QFileSystemModel*>(sourceModel());
      const QModelIndex quelle = mapToSource(index);
      if (modell && quelle.isValid()) {
        if (index.column() == 3) return Deutsch().toString(modell->lastModified(quelle), QStringLiteral("dd.MM.yyyy HH:mm"));
        if (modell->isDir(quelle)) return QString();
        return Deutsch().formattedDataSize(modell->size(quelle), 1, QLocale::DataSizeTraditionalFormat);
      }
    }
    return QIdentityProxyModel::data(index, rolle);
  }
};

// A path of this machine (absolute, no drive letter or backslashes of another system), cleaned; else empty.
QString LokalerPfad(const QString& pfad) {
  QString p = pfad.trimmed();
  if (p.isEmpty()) return {};
#ifndef Q_OS_WIN
  if (p.contains(QLatin1Char('\\')) || (p.size() >= 2 && p.at(1) == QLatin1Char(':'))) return {};
#endif
  p = QDir::fromNativeSeparators(p);
  if (!QDir::isAbsolutePath(p)) return {};
  return QDir::cleanPath(p);
}

void Einrichten(QFileDialog& dialog, QFileDialog::FileMode modus, NurNamenSymbole& symbole) {
  // Our own dialog: a native one would guess types by content again, and cannot take the prompt.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons, true);
  dialog.setOption(QFileDialog::ReadOnly, true);
  dialog.setIconProvider(&symbole);
  dialog.setLocale(Deutsch());
  dialog.setFileMode(modus);
  if (modus == QFileDialog::Directory) dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setProxyModel(new DeutscheSpalten(&dialog));
  dialog.setViewMode(QFileDialog::Detail);

  // Columns that show whole names, sizes and dates.
  const QFontMetrics fm = dialog.fontMetrics();
  const int rand = fm.horizontalAdvance(QLatin1Char('M')) * 2;
  const int breiten[] = {
      std::max(fm.averageCharWidth() * 40, 300),   // room for a long file name
      fm.horizontalAdvance(QStringLiteral("999,9 MB")) + rand,
      fm.horizontalAdvance(QStringLiteral("SQLITE3-Datei")) + rand,
      fm.horizontalAdvance(QStringLiteral("88.88.8888 88:88")) + rand,
  };
  int summe = 0;
  if (auto* liste = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* kopf = liste->header();
    kopf->setStretchLastSection(false);
    kopf->setMinimumSectionSize(fm.horizontalAdvance(QStringLiteral("Name")) + rand);
    for (int i = 0; i < 4 && i < kopf->count(); ++i) kopf->resizeSection(i, breiten[i]);
  }
  for (int b : breiten) summe += b;
  QSize groesse(summe + 260, 480);   // the side bar beside the list
  if (const QScreen* s = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen())
    groesse = groesse.boundedTo(s->availableGeometry().size());
  dialog.resize(groesse);
}

// The path chosen in the dialog; nullopt when it was cancelled.
std::optional<QString> Ausfuehren(QFileDialog& dialog) {
  const int ergebnis = Ausfuehrung() ? Ausfuehrung()(dialog) : dialog.exec();
  if (ergebnis != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

}  // namespace

void Dateidialog::AusfuehrungSetzen(Ausfuehrung ausfuehrung) { ::Ausfuehrung() = std::move(ausfuehrung); }

QString Dateidialog::StartOrdner(const QString& vorschlag, const QString& ersatz) {
  for (const QString& kandidat : {vorschlag, ersatz}) {
    QString p = LokalerPfad(kandidat);
    while (!p.isEmpty()) {
      const QFileInfo info(p);
      if (info.isDir()) {
        if (info.isRoot()) break;   // climbed all the way up: nothing usable of this path
        return QDir::toNativeSeparators(info.absoluteFilePath());
      }
      const QString oben = info.absolutePath();
      if (oben == p) break;
      p = oben;
    }
  }
  return QDir::toNativeSeparators(QDir::homePath());
}

QString Dateidialog::VorgeschlageneDatei(const QString& vorschlag) {
  const QString p = LokalerPfad(vorschlag);
  if (p.isEmpty() || !QFileInfo(p).isFile()) return {};
  return QDir::toNativeSeparators(p);
}

std::optional<QString> Dateidialog::OrdnerWaehlen(QWidget* eltern, const QString& titel, const QString& start,
                                                  const QString& aufforderung, const QString& ersatz) {
  NurNamenSymbole symbole;   // outlives the dialog, which does not own it
  QFileDialog dialog(eltern, titel);
  Einrichten(dialog, QFileDialog::Directory, symbole);
  dialog.setDirectory(StartOrdner(start, ersatz));
  if (!aufforderung.isEmpty()) {
    if (auto* raster = qobject_cast<QGridLayout*>(dialog.layout())) {
      auto* text = new QLabel(QString(aufforderung).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), &dialog);
      text->setObjectName(QStringLiteral("Aufforderung"));
      raster->addWidget(text, raster->rowCount(), 0, 1, raster->columnCount());
    }
  }
  return Ausfuehren(dialog);
}

std::optional<QString> Dateidialog::DateiSpeichern(QWidget* eltern, const QString& titel, const QString& vorschlag,
                                                   const QString& filter, const QString& endung, const QString& ersatz) {
  NurNamenSymbole symbole;   // outlives the dialog, which does not own it
  QFileDialog dialog(eltern, titel);
  Einrichten(dialog, QFileDialog::AnyFile, symbole);
  dialog.setOption(QFileDialog::ReadOnly, false);   // a new file must be allowed
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  if (!endung.isEmpty()) dialog.setDefaultSuffix(endung);
  if (!filter.isEmpty()) dialog.setNameFilter(filter);
  dialog.setDirectory(StartOrdner(vorschlag, ersatz));
  // The proposed name of a path of this machine, whether or not the file exists yet.
  if (const QString p = LokalerPfad(vorschlag); !p.isEmpty() && !QFileInfo(p).isDir()) dialog.selectFile(QFileInfo(p).fileName());
  return Ausfuehren(dialog);
}

std::optional<QString> Dateidialog::DateiOeffnen(QWidget* eltern, const QString& titel, const QString& vorschlag,
                                                 const QString& filter, const QString& ersatz) {
  NurNamenSymbole symbole;   // outlives the dialog, which does not own it
  QFileDialog dialog(eltern, titel);
  Einrichten(dialog, QFileDialog::ExistingFile, symbole);
  if (!filter.isEmpty()) dialog.setNameFilter(filter);
  dialog.setDirectory(StartOrdner(vorschlag, ersatz));
  if (const QString datei = VorgeschlageneDatei(vorschlag); !datei.isEmpty()) dialog.selectFile(datei);
  return Ausfuehren(dialog);
}
