#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>

#include "common/AdressQuellenInfo.h"
#include "payments/FormularZahlung.h"
#include "payments/SkontoForm.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Waehrung.h"
#include "platform/ui/MeldungsRekorder.h"

// The program state a payment window needs: a fresh database from the shipped schema as the run's
// database, sender 1, fixed clock, default options, recorded message boxes. The window is made by
// Fenster() and shown offscreen.
class FensterTestumgebung {
 public:
  explicit FensterTestumgebung(const AdressQuellenInfo& quelle = AdressQuellenInfo::Intern());
  ~FensterTestumgebung();

  Datenbank& Db();
  MeldungsRekorder& Meldungen() { return *m_meldungen; }

  struct Zahlung {
    int absenderNr = 1;
    QString art = QStringLiteral("G");
    QString name = QStringLiteral("Meier GmbH");
    std::optional<int> mandatSequenz;
    std::optional<QDate> faellig;
    bool erledigt = false;
    std::optional<Waehrung> gesamt;
    QString iban = QStringLiteral("DE89370400440532013000");
    QString bic = QStringLiteral("COBADEFFXXX");
    QString verwendungszweck1 = QStringLiteral("RG 1");
    QString mandatReferenz;
    std::optional<QDate> mandatDatum;
    QString opKontoNr;
    QString textschluessel;
  };
  qint64 ZahlungAnlegen(const Zahlung& z);
  qint64 ZeileAnlegen(qint64 zahlungNr, int zeilenNr, const QString& text, std::optional<Waehrung> betrag);
  void AdresseAnlegen(const QString& nr, const QString& name, const QString& iban, const QString& bic,
                      const QString& sequenz = {}, const QString& referenz = {});
  QVariant Wert(const SqlText& sql, const QVariantList& parameter = {});
  int Anzahl(const SqlText& sql, const QVariantList& parameter = {}) { return Wert(sql, parameter).toInt(); }

  // Creates and shows the window (replacing an earlier one).
  FormularZahlung& Fenster();
  void FensterSchliessen();

  // The search-list seam: the next call answers with these values (empty = closed without choice).
  struct SuchlistenAufruf {
    int modus = 0;
    QString suchfeld;
    QVariant suchwert;
  };
  QList<SuchlistenAufruf> suchlistenAufrufe;
  std::optional<QVariantList> suchlistenAntwort;

  // The cash-discount dialog seam: counts the calls and runs `skontoHandlung` on the shown dialog
  // (which is closed afterwards unless the handling closed it).
  int skontoAufrufe = 0;
  std::function<void(SkontoForm&)> skontoHandlung;

  static QDate Heute() { return QDate(2024, 3, 10); }

 private:
  std::unique_ptr<MeldungsRekorder> m_meldungen;
  std::unique_ptr<FormularZahlung> m_fenster;
};

inline Waehrung Eur(int64_t euro, int64_t cent = 0) { return Waehrung::AusCent(euro * 100 + cent); }
