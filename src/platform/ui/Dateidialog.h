#pragma once

#include <QString>

#include <functional>
#include <optional>

class QFileDialog;
class QWidget;

// The program's file and folder dialogs, all built here. They never open a file to guess its type:
// icons and the type column come from the name alone, so listing the data folder leaves the open
// database's locks alone (POSIX drops every lock of a file when any descriptor of it closes). They
// are German (captions, dates), show wide enough columns, start in a folder of this machine and are
// read-only (no renaming or deleting of files from inside a dialog).
class Dateidialog {
 public:
  // A folder; `aufforderung` stands under the list when given. nullopt when cancelled.
  static std::optional<QString> OrdnerWaehlen(QWidget* eltern, const QString& titel, const QString& start,
                                              const QString& aufforderung = {}, const QString& ersatz = {});
  // An existing file to open; `filter` as for QFileDialog ("Datenbanken (*.db);;Alle Dateien (*)").
  static std::optional<QString> DateiOeffnen(QWidget* eltern, const QString& titel, const QString& vorschlag,
                                             const QString& filter, const QString& ersatz = {});

  // A file to write (asks before replacing one); `endung` is appended when the name has none.
  static std::optional<QString> DateiSpeichern(QWidget* eltern, const QString& titel, const QString& vorschlag,
                                               const QString& filter, const QString& endung, const QString& ersatz = {});

  // Where a dialog starts for `vorschlag` (a file or folder): the folder itself, the file's folder, the
  // nearest existing folder above it; a path of another machine (a drive letter, backslashes) or nothing
  // usable gives `ersatz` when it exists, else the home folder.
  static QString StartOrdner(const QString& vorschlag, const QString& ersatz = {});
  // The file a dialog proposes: only an existing file of this machine, else empty.
  static QString VorgeschlageneDatei(const QString& vorschlag);

  // Test seam: runs the configured dialog instead of exec() and returns its result code.
  using Ausfuehrung = std::function<int(QFileDialog& dialog)>;
  static void AusfuehrungSetzen(Ausfuehrung ausfuehrung);
};
