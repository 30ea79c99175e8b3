#pragma once

#include <QDate>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

#include "platform/db/DbFehler.h"
#include "platform/db/SqlText.h"
#include "platform/db/Waehrung.h"

class DatenGitter;
class OptionsGruppe;
class QLabel;
class Recordset;
class StatusLeiste;
class Werkzeugleiste;
class ZahlFeld;

// "Zahlungsliste": the active sender's orders one row per remittance line, by kind and status,
// searched through the grid's filter bar and limited by due date (F6), with the signed total of the
// listed lines. Modeless; it changes no data.
class Zahlungsliste : public QWidget {
  Q_OBJECT
 public:
  explicit Zahlungsliste(QWidget* eltern = nullptr);
  ~Zahlungsliste() override;

  // Due-date dialog seam: (current limit) -> new limit. The shell sets the modal FälligAbfrage.
  using FaelligAufruf = std::function<std::optional<QDate>(const std::optional<QDate>& faelligBis)>;
  void FaelligAbfrageSetzen(FaelligAufruf aufruf) { m_faelligAufruf = std::move(aufruf); }

  // Builds and opens the list query and shows its total; a failure shows an empty list, a total of
  // 0 and the message, and is returned. A total that cannot be formed or read shows "###" with the
  // reason in its tooltip (a failure with the message as well) and leaves the rows listed.
  DbFehler ListeLaden();
  // Toolbar1_ButtonClick by key; a hidden or disabled button does nothing (false).
  bool Befehl(const QString& schluessel);
  // "Drucken": the print dialog, then the listed rows (with their kind, state and signed amount) with
  // the chosen kind and status as the variables "Zahlungsliste.Formularart" and "Zahlungsliste.Status"
  // and the total shown as "Zahlungsliste.Summe".
  void Drucken();
  // F6: asks for the due-date limit ("Abbruch" removes it) and lists again.
  void FaelligkeitAbfragen();

  int ZahlartIndex() const { return m_zahlartIndex; }
  int StatusartIndex() const { return m_statusartIndex; }
  std::optional<QDate> FaelligBis() const { return m_faelligBis; }
  const Bedingung& Suchfilter() const { return m_suchfilter; }
  // The total shown; nullopt while it shows "###".
  std::optional<Waehrung> Summe() const { return m_summe; }
  bool AnzeigeBereit() const { return m_anzeigeBereit; }
  bool Suchmodus() const;
  // The bound recordset (the rows a print takes); null after a failed query.
  Recordset* Daten() const { return m_daten.get(); }

  // Controls, named as the window's design names them.
  Werkzeugleiste* Toolbar1() const { return m_toolbar1; }
  OptionsGruppe* ZahlArt() const { return m_zahlArt; }
  OptionsGruppe* StatusArt() const { return m_statusArt; }
  DatenGitter* TDBGrid1() const { return m_tdbGrid1; }
  ZahlFeld* TDBNumber1() const { return m_tdbNumber1; }
  StatusLeiste* StatusBar1() const { return m_statusBar1; }
  QLabel* FaelligAnzeige() const { return m_faelligAnzeige; }

 protected:
  void showEvent(QShowEvent* ereignis) override;
  void closeEvent(QCloseEvent* ereignis) override;

 private:
  void Aufbauen();
  void SpaltenAnlegen();
  void TastenEinrichten();
  void Laden();
  void Aktivieren();
  void SuchmodusUmschalten();
  void SuchmodusAnwenden();
  void StatuszeileAktualisieren();
  void SummeZeigen(const QString& grund);

  int m_zahlartIndex = 2;
  int m_statusartIndex = 2;
  Bedingung m_suchfilter;
  QList<std::pair<QString, QString>> m_suchwerte;   // caption and typed value of each applied search column
  std::optional<QDate> m_faelligBis;
  bool m_anzeigeBereit = false;
  bool m_layoutGeladen = false;   // the user's stored column layout
  std::optional<Waehrung> m_summe;
  QString m_summenGrund;   // why the total shows "###"
  std::unique_ptr<Recordset> m_daten;   // Data1
  FaelligAufruf m_faelligAufruf;

  Werkzeugleiste* m_toolbar1 = nullptr;
  StatusLeiste* m_statusBar1 = nullptr;
  OptionsGruppe* m_zahlArt = nullptr;
  OptionsGruppe* m_statusArt = nullptr;
  ZahlFeld* m_tdbNumber1 = nullptr;
  QLabel* m_faelligAnzeige = nullptr;
  DatenGitter* m_tdbGrid1 = nullptr;
};

// The main window opens the payment list through this factory (modeless).
QWidget* ZahlungslisteErzeugen(QWidget* eltern);
