#pragma once

#include <QDialog>

#include "masterdata/core/Absenderdaten.h"
#include "masterdata/core/Absenderpruefung.h"

class MaskenFeld;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class StatusLeiste;
class Werkzeugleiste;

// The sender form: the list of senders, the fields of the chosen one, new/store/delete and
// "Aktivieren" (the active sender of the program). Checks and storage are Absenderpruefung and
// Absenderverwaltung; the window reads its fields and shows the answers.
class FormularAbsender : public QDialog {
  Q_OBJECT
 public:
  explicit FormularAbsender(QWidget* eltern = nullptr);

  // The commands of the toolbar; each returns whether it did its work.
  void Neu();
  bool Speichern();
  bool Loeschen();
  bool Aktivieren();
  // "Drucken": the list of all senders through the print dialog (report "Absenderliste").
  void Drucken();

  // Shows the stored sender `nr` (false when it is not in the list).
  bool Auswaehlen(int nr);
  int AusgewaehlteNr() const { return m_nr; }
  // Puts the cursor into the field (a caller that names a missing value opens the form there).
  void FeldFokussieren(Absenderpruefung::Feld feld);
  Absenderdaten Felder() const;
  void FelderSetzen(const Absenderdaten& daten);
  bool Geaendert() const { return m_geaendert; }

  QListWidget* Liste() const { return m_liste; }
  Werkzeugleiste* Leiste() const { return m_leiste; }

 Q_SIGNALS:
  // Another sender became active, or the active one was changed (the database was reopened).
  void AbsenderAktiviert();

 protected:
  void closeEvent(QCloseEvent* ereignis) override;
  void keyPressEvent(QKeyEvent* ereignis) override;

 private:
  void ListeLaden(int auswahl);
  void Anzeigen(int nr);
  bool AenderungenVerwerfenFragen();
  void Befehl(const QString& knopf);
  void KnoepfeSetzen();
  void VerbindungWaehlen();
  bool DatenbankNeuOeffnen();

  Werkzeugleiste* m_leiste;
  QListWidget* m_liste;
  QLineEdit* m_suchname;
  QLineEdit* m_name;
  QLineEdit* m_bank;
  MaskenFeld* m_bic;
  MaskenFeld* m_iban;
  QLineEdit* m_glaeubigerId;
  QLineEdit* m_referenzNr;
  QLineEdit* m_bemerkung;
  QComboBox* m_adressenFormat;
  QLineEdit* m_verbindung;
  QPushButton* m_verbindungWaehlen;
  StatusLeiste* m_status;
  int m_nr = 0;
  Absenderdaten m_geladen;   // as shown: a save over a change made elsewhere since is refused
  bool m_geaendert = false;
  bool m_laedt = false;
};
