#pragma once

#include <QString>

#include <optional>

class QWidget;

enum class MeldungsKnoepfe { Ok, OkAbbrechen, JaNein, JaNeinAbbrechen };
enum class MeldungsSymbol { Keins, Information, Frage, Ausruf, Kritisch };
enum class MeldungsAntwort { Ok, Abbrechen, Ja, Nein };

// One message box as the program asks for it (the text as given, lines joined with "\r").
struct MeldungsAnfrage {
  QString titel;
  QString text;
  MeldungsKnoepfe knoepfe = MeldungsKnoepfe::Ok;
  MeldungsSymbol symbol = MeldungsSymbol::Keins;
  bool abbrechenVorgabe = false;   // OK/Cancel with Cancel as the default button (a step hard to undo)
};

struct EingabeAnfrage {
  QString titel;
  QString aufforderung;
  QString vorgabe;
};

// Where messages end up: the real dialogs, or a recorder in tests.
class MeldungsBackend {
 public:
  virtual ~MeldungsBackend() = default;
  virtual MeldungsAntwort Zeigen(const MeldungsAnfrage& anfrage, QWidget* eltern) = 0;
  // The typed text; std::nullopt when the box was cancelled.
  virtual std::optional<QString> Eingabe(const EingabeAnfrage& anfrage, QWidget* eltern) = 0;
  // A notice at a field that does not take the focus from it (a tip below the field).
  virtual void Randhinweis(const QString& text, QWidget* feld);
};

// Every message and input box of the program goes through here; no window calls QMessageBox itself.
class Meldung {
 public:
  static const QString& ProgrammTitel();  // "Tamo-SEPA"
  // The application's name with its version, "Tamo-SEPA 1.0" (the name its settings are kept under):
  // the title of the print driver's boxes.
  static const QString& AnwendungsTitel();

  // titel empty = the program title.
  static MeldungsAntwort Zeigen(const QString& text, MeldungsKnoepfe knoepfe = MeldungsKnoepfe::Ok,
                                MeldungsSymbol symbol = MeldungsSymbol::Keins, const QString& titel = {},
                                QWidget* eltern = nullptr);
  static void Hinweis(const QString& text, const QString& titel = {}, QWidget* eltern = nullptr);
  // An input the program cannot take (the warning icon).
  static void Warnung(const QString& text, const QString& titel = {}, QWidget* eltern = nullptr);
  // A failure: the database, a file (the error icon).
  static void Fehler(const QString& text, const QString& titel = {}, QWidget* eltern = nullptr);
  // Yes/No with No as the default button; true for Yes.
  static bool Frage(const QString& text, const QString& titel = {}, QWidget* eltern = nullptr);
  // OK/Cancel with the warning icon and Cancel as the default button, for a change that is hard to undo
  // (Enter alone does not carry it out); true for OK.
  static bool Bestaetigen(const QString& text, const QString& titel = {}, QWidget* eltern = nullptr);

  // A short notice at a field while the user types in it (the field's size limit); the typing goes on.
  static void Randhinweis(const QString& text, QWidget* feld);

  // InputBox: the typed text, "" when cancelled.
  static QString Eingabe(const QString& aufforderung, const QString& titel = {}, const QString& vorgabe = {},
                         QWidget* eltern = nullptr);

  // Joins lines with the carriage return the program's texts use.
  static QString Zeilen(const QStringList& zeilen);

  // The active backend; setting nullptr restores the dialogs. Returns the previous one.
  static MeldungsBackend* BackendSetzen(MeldungsBackend* backend);
  static MeldungsBackend& Backend();
};
