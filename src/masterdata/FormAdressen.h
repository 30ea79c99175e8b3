#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

#include "masterdata/core/Adressenpflege.h"
#include "platform/db/Recordset.h"

class DatenGitter;
class QLabel;
class StatusLeiste;
class Werkzeugleiste;

// The address window, one per opening, in one of two modes: the addresses (the program's own
// table) or the bank codes (`Bankverbindung`). A grid with filter bar, new/change/delete through
// the entry dialog, "Drucken" through the print dialog.
class FormAdressen : public QWidget {
  Q_OBJECT
 public:
  enum class Modus { Adressen, Bankverbindungen };

  FormAdressen(Modus modus, QWidget* eltern = nullptr);
  ~FormAdressen() override;

  Modus ModusVon() const { return m_modus; }
  // The table the window shows: "Adressen" (the active sender's address source) or "Bankverbindung".
  QString Tabelle() const;
  // The addresses come from the sibling program of the active sender: they are kept there and only
  // shown, searched and printed here.
  bool FremdeAdressen() const;
  // Why new addresses and changes are refused while FremdeAdressen() holds.
  static QString FremdeAdressenMeldung();

  // Toolbar commands.
  void Neu();
  void Aendern();
  bool Loeschen();
  // "Drucken": the rows of the grid (filter and order as shown) with the report of the window's base
  // name: the address source's kind word and "Adressen", or "Bankverbindung".
  void Drucken();
  QString Reportname() const;

  // Stores an address / bank code (new when `alteNr` / `zeile` is empty), refreshes the grid and
  // positions on the row; a refusal or failure is reported and returns false.
  // `geladen`: the address as read when the change began; a save over another workstation's change is refused.
  bool AdresseSpeichern(const Adressdaten& d, const QString& alteNr = {}, const Adressdaten* geladen = nullptr);
  Bankdaten GezeigteBank(int zeile) const;
  // `geladen`: the row as the list showed it; a row changed or deleted elsewhere meanwhile is not written.
  bool BankSpeichern(const Bankdaten& d, std::optional<qint64> zeile = std::nullopt, const Bankdaten* geladen = nullptr);
  // Positions the grid on the row whose field has the value (case-insensitive).
  bool Positionieren(const QString& feld, const QVariant& wert);

  DatenGitter* Gitter() const { return m_gitter; }
  StatusLeiste* Status() const { return m_status; }
  // The status line's count: "1 Eintrag", "3 Einträge".
  static QString Anzahltext(qint64 anzahl);
  Werkzeugleiste* Leiste() const { return m_leiste; }
  Recordset* Daten() const { return m_rs.get(); }

  // The import of addresses from the earlier payment program with the IBAN conversion plugs in
  // here; while no import is set, its button stays hidden.
  using ImportFunktion = std::function<void(FormAdressen&)>;
  static void ImportSetzen(ImportFunktion f);
  // "IBAN ermitteln": the IBAN conversion over the rows shown, without a take-over; hidden while unset.
  static void KonvertierungSetzen(ImportFunktion f);

 protected:
  void closeEvent(QCloseEvent* ereignis) override;
  void showEvent(QShowEvent* ereignis) override;

 private:
  bool Laden();
  bool Neuladen();
  // Columns to their contents and in their order, the rest of the width filled.
  void SpaltenbreitenSetzen();
  void Befehl(const QString& knopf);
  QString Abschnitt() const;
  // Refuses an edit of foreign addresses with the reason; true when refused.
  bool FremdeAdressenAbweisen();

  Modus m_modus;
  Werkzeugleiste* m_leiste;
  DatenGitter* m_gitter;
  StatusLeiste* m_status;
  QLabel* m_quellenHinweis;
  std::unique_ptr<Recordset> m_rs;
  bool m_gezeigt = false;
};
