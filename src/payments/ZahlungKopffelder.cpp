#include "payments/ZahlungKopffelder.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "common/Programmzustand.h"
#include "zahlungsverkehr/Textschluessel.h"
#include "common/Uhr.h"
#include "masterdata/core/Suchkriterium.h"
#include "payments/ZahlungMandatgruppe.h"
#include "payments/ZahlungsformularDienste.h"
#include "payments/core/Zahlungsbefehle.h"
#include "platform/db/Datenbank.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/Farben.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/ZahlFeld.h"
#include "platform/ui/ZweispaltenCombo.h"
#include "platform/ui/Feldgrenze.h"

namespace {

// Data fields of TDBMask1(0..5).
const std::array<QString, 6>& MaskenFelder() {
  static const std::array<QString, 6> f = {QStringLiteral("Name"), QStringLiteral("MandatReferenz"),
                                           QStringLiteral("Bank"), QStringLiteral("BIC"),
                                           QStringLiteral("IBAN"), QStringLiteral("Verwendungszweck1")};
  return f;
}

}  // namespace

ZahlungKopffelder::ZahlungKopffelder(ZahlungsformularDienste& dienste, QWidget* fenster)
    : QObject(fenster), m_dienste(dienste), m_fenster(fenster) {
  for (int i = 0; i < 6; ++i) {
    m_maske[size_t(i)] = new MaskenFeld(fenster);
    m_maske[size_t(i)]->setObjectName(QStringLiteral("TDBMask1_%1").arg(i));
    m_maske[size_t(i)]->setStatusTip(QStringLiteral("Eingabe: ") + MaskenFelder()[size_t(i)]);
    m_maske[size_t(i)]->installEventFilter(this);
  }
  m_textschluessel = new ZweispaltenCombo(fenster);
  m_textschluessel->UeberschriftenSetzen(QStringLiteral("Schlüssel"), QStringLiteral("Bedeutung"));
  m_textschluessel->setStatusTip(QStringLiteral("Eingabe: Textschlüssel"));
  m_faellig = new DatumFeld(fenster);
  m_faellig->setStatusTip(QStringLiteral("Eingabe einer Fälligkeit für die Zahlung"));
  m_faellig->installEventFilter(this);
  m_betrag = new ZahlFeld(fenster);
  m_betrag->setStatusTip(QStringLiteral("Eingabe: ZahlungGesamt"));
  m_betrag->NegativFarbeSetzen(Farben::Rot());
  m_betrag->installEventFilter(this);
  m_opKontoNr = new QLineEdit(fenster);
  m_opKontoNr->setObjectName(QStringLiteral("OPKontoNr"));
  m_opKontoNr->hide();

  for (int i = 0; i < 6; ++i) {
    connect(m_maske[size_t(i)], &MaskenFeld::Getippt, this, [this, i](const QString& wert) {
      if (i == 0 || i == 3) m_smartfill.TextGeaendert(wert, SmartfillAnwendbar(i));
    });
  }
}

void ZahlungKopffelder::Anordnen(QGridLayout* felder, int& z) {
  // The skip boxes come after the mandate group's controls in the focus chain, as they always have.
  static const std::array<const char*, 4> skipTips = {"Eingabefeld überspringen für: BIC",
                                                      "Eingabefeld überspringen für: Textschlüssel",
                                                      "Eingabefeld überspringen für: Bank",
                                                      "Eingabefeld überspringen für: Fällig"};
  for (int i = 0; i < 4; ++i) {
    auto* k = new QCheckBox(m_fenster);
    k->setToolTip(QString::fromUtf8(skipTips[size_t(i)]));
    k->setStatusTip(QString::fromUtf8(skipTips[size_t(i)]) + QStringLiteral(" ein/aus"));
    m_tabFolge[size_t(i)] = k;
    connect(k, &QCheckBox::toggled, this, [this, i](bool an) {
      QWidget* ziel = i == 0 ? static_cast<QWidget*>(m_maske[3])
                      : i == 1 ? static_cast<QWidget*>(m_textschluessel)
                      : i == 2 ? static_cast<QWidget*>(m_maske[2])
                               : static_cast<QWidget*>(m_faellig);
      ziel->setFocusPolicy(an ? Qt::ClickFocus : Qt::StrongFocus);
    });
  }
  auto beschriftung = [this](const QString& text) { return new QLabel(text, m_fenster); };
  felder->addWidget(beschriftung(QStringLiteral("Name")), z, 0);
  felder->addWidget(m_maske[0], z, 1, 1, 3);
  ++z;
  felder->addWidget(beschriftung(QStringLiteral("Bank")), z, 0);
  felder->addWidget(m_maske[2], z, 1, 1, 2);
  felder->addWidget(m_tabFolge[2], z, 3);
  ++z;
  felder->addWidget(beschriftung(QStringLiteral("BIC")), z, 0);
  felder->addWidget(m_maske[3], z, 1);
  felder->addWidget(m_tabFolge[0], z, 3);
  ++z;
  felder->addWidget(beschriftung(QStringLiteral("IBAN")), z, 0);
  felder->addWidget(m_maske[4], z, 1, 1, 3);
  ++z;
  m_textBeschriftung = beschriftung(QStringLiteral("Verwendungszweck"));
  felder->addWidget(m_textBeschriftung, z, 0);
  felder->addWidget(m_maske[5], z, 1, 1, 3);
  ++z;
  felder->addWidget(beschriftung(QStringLiteral("Textschlüssel")), z, 0);
  felder->addWidget(m_textschluessel, z, 1);
  felder->addWidget(m_tabFolge[1], z, 3);
  ++z;
  felder->addWidget(beschriftung(QStringLiteral("Fällig")), z, 0);
  felder->addWidget(m_faellig, z, 1);
  felder->addWidget(m_tabFolge[3], z, 3);
  ++z;
  m_betragBeschriftung = beschriftung(QStringLiteral("Betrag"));
  felder->addWidget(m_betragBeschriftung, z, 0);
  felder->addWidget(m_betrag, z, 1);
  ++z;
}

QString ZahlungKopffelder::OPKontoNr() const { return m_opKontoNr->text(); }

void ZahlungKopffelder::Laden(bool aufAbPfeil) {
  m_transportfelder = TransportfelderZerlegen(Zustand().AdressQuelle().Transportfelder);
  // Input limits from the schema.
  Datenbank* db = m_dienste.Db();
  const bool block = Zustand().Optionen().IBANmitBlockEingeben;
  for (int i = 0; i < 6; ++i) {
    MaskenFeld* f = m_maske[size_t(i)];
    const int groesse = db ? db->FeldGroesse(QStringLiteral("Zahlungen"), MaskenFelder()[size_t(i)]) : 0;
    f->MaxLaengeSetzen(groesse);
    if (i == 3 || i == 4) f->ZeichenklasseSetzen(Zeichenklasse::GrossbuchstabenZiffern);
    if (i == 4 && block) {
      f->IbanBlockSetzen(true);
      f->MaxLaengeSetzen(34);
    }
  }
  if (db) {
    Feldgrenze::Setzen(m_opKontoNr, std::max(1, db->FeldGroesse(QStringLiteral("Zahlungen"), QStringLiteral("OPKontoNr"))));
    if (QLineEdit* code = m_textschluessel->lineEdit())
      Feldgrenze::Setzen(code, std::max(1, db->FeldGroesse(QStringLiteral("Zahlungen"), QStringLiteral("Textschlüssel"))));
  }
  m_betrag->PfeileSetzen(aufAbPfeil);
  m_faellig->PfeiltastenSetzen(aufAbPfeil);
}

void ZahlungKopffelder::Fuellen(const ZahlungEingabe& e) {
  m_maske[0]->WertSetzen(e.name);
  m_maske[1]->WertSetzen(e.mandatReferenz);
  m_maske[2]->WertSetzen(e.bank);
  m_maske[3]->WertSetzen(e.bic);
  m_maske[4]->WertSetzen(e.iban);
  m_maske[5]->WertSetzen(e.verwendungszweck1);
  m_textschluessel->CodeSetzen(e.textschluessel);
  m_opKontoNr->setText(e.opKontoNr);
  m_faellig->WertSetzen(e.faellig);
  m_betrag->WertSetzen(e.betrag);
}

void ZahlungKopffelder::Lesen(ZahlungEingabe& e) const {
  e.name = m_maske[0]->Wert();
  e.mandatReferenz = m_maske[1]->Wert();
  e.bank = m_maske[2]->Wert();
  e.bic = m_maske[3]->Wert();
  e.iban = m_maske[4]->Wert();
  e.verwendungszweck1 = m_maske[5]->Wert();
  e.textschluessel = m_textschluessel->Code();
  e.opKontoNr = m_opKontoNr->text();
  e.faellig = m_faellig->Wert();
  e.betrag = m_betrag->Wert();
}

void ZahlungKopffelder::KopierteFelderAnwenden(const KopierteFelder& k) {
  if (k.name) m_maske[0]->WertSetzen(*k.name);
  if (k.mandatReferenz) m_maske[1]->WertSetzen(*k.mandatReferenz);
  if (k.bank) m_maske[2]->WertSetzen(*k.bank);
  if (k.bic) m_maske[3]->WertSetzen(*k.bic);
  if (k.iban) m_maske[4]->WertSetzen(*k.iban);
  if (k.verwendungszweck1) m_maske[5]->WertSetzen(*k.verwendungszweck1);
  if (k.opKontoNr) m_opKontoNr->setText(*k.opKontoNr);
  if (k.betrag) m_betrag->WertSetzen(*k.betrag);
}

void ZahlungKopffelder::TextschluesselFuellen(const QString& art) {
  const QString code = m_textschluessel->Code();
  QList<QPair<QString, QString>> zeilen;
  for (const TextschluesselEintrag& t : TextschluesselListe(art)) zeilen.append({t.schluessel, t.bedeutung});
  m_textschluessel->ZeilenSetzen(zeilen);
  m_textschluessel->setMaxVisibleItems(TextschluesselZeilen(art));
  m_textschluessel->CodeSetzen(code);
}

void ZahlungKopffelder::Oeffnen(const Formulardarstellung& d) {
  for (MaskenFeld* f : m_maske) f->setReadOnly(!d.eingabefelderAktiv);
  m_textschluessel->setEnabled(d.eingabefelderAktiv);
  m_faellig->setReadOnly(!d.eingabefelderAktiv);
  m_betrag->setReadOnly(!d.eingabefelderAktiv || m_nurSumme);
}

void ZahlungKopffelder::NurSummeSetzen(bool nurSumme, bool eingabeModus) {
  m_nurSumme = nurSumme;
  m_betrag->setReadOnly(nurSumme || !eingabeModus);
}

void ZahlungKopffelder::Faerben(const FeldGueltigkeit& g, bool lastschrift, bool einzelfeld) {
  m_maske[0]->GueltigkeitAnzeigen(g.name);
  if (lastschrift) m_maske[1]->GueltigkeitAnzeigen(g.mandatReferenz);
  m_maske[3]->GueltigkeitAnzeigen(g.bic);
  m_maske[4]->GueltigkeitAnzeigen(g.iban);
  if (einzelfeld) {
    m_maske[5]->GueltigkeitAnzeigen(g.verwendungszweck);
    m_betrag->GueltigkeitAnzeigen(g.betrag);
  }
}

void ZahlungKopffelder::AlleGueltigAnzeigen() {
  for (MaskenFeld* f : m_maske) f->GueltigkeitAnzeigen(true);
  m_betrag->GueltigkeitAnzeigen(true);
}

void ZahlungKopffelder::EinzelfelderZeigen(bool zeigen) {
  m_maske[5]->setVisible(zeigen);
  m_textBeschriftung->setVisible(zeigen);
  m_betrag->setVisible(zeigen);
  m_betragBeschriftung->setVisible(zeigen);
}

bool ZahlungKopffelder::BetragEnter(QKeyEvent* taste) {
  // Enter in the amount field saves with "Speicherfeld" 1, whatever the shift state; otherwise it
  // moves on like Tab.
  if (taste->key() != Qt::Key_Return && taste->key() != Qt::Key_Enter) return false;
  QWidget* fokus = m_fenster->focusWidget();
  if (!fokus || (fokus != m_betrag && !m_betrag->isAncestorOf(fokus))) return false;
  if (m_dienste.FormZustand().Einstellungen().speicherfeld != Speicherfeld::Betragsfeld) return false;
  m_speichernPerEnter = true;
  m_betrag->Uebernehmen();
  m_dienste.BefehlAusfuehren(Zahlungsbefehl::Neu);
  return true;
}

bool ZahlungKopffelder::SmartfillAnwendbar(int index) const {
  const Optionsschalter& opt = Zustand().Optionen();
  if (index == 0) return opt.SmartfillName && m_transportfelder.size() > 1 && !m_transportfelder.at(1).isEmpty();
  if (index == 3) return opt.SmartfillBank;
  return false;
}

bool ZahlungKopffelder::eventFilter(QObject* objekt, QEvent* ereignis) {
  for (int i = 0; i < 6; ++i) {
    if (objekt != m_maske[size_t(i)]) continue;
    switch (ereignis->type()) {
      case QEvent::KeyPress: return MaskeTaste(i, static_cast<QKeyEvent*>(ereignis));
      case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(ereignis);
        if (k->key() == Qt::Key_F4 || k->key() == Qt::Key_F5) {
          if (!k->isAutoRepeat()) SuchlisteOeffnen(i, k->key() == Qt::Key_F5);
          return true;
        }
        if ((i == 0 || i == 3) && m_maske[size_t(i)]->Wert().isEmpty())
          m_smartfill.TextGeaendert(QString(), SmartfillAnwendbar(i));
        return false;
      }
      case QEvent::FocusIn: MaskeBetreten(i); return false;
      case QEvent::FocusOut: MaskeVerlassen(i); return false;
      case QEvent::MouseButtonDblClick: SuchlisteOeffnen(i, false); return true;
      default: return false;
    }
  }
  if (objekt == m_betrag) {
    const ZahlungsformularZustand& z = m_dienste.FormZustand();
    if (ereignis->type() == QEvent::FocusIn) m_speichernPerEnter = false;
    if (ereignis->type() == QEvent::FocusOut) {
      if (z.Einstellungen().optischeFehlerKontrolle && !m_speichernPerEnter && z.EingabeModus())
        m_betrag->GueltigkeitAnzeigen(BetragGueltig(m_betrag->Wert()));
      m_speichernPerEnter = false;
    }
    return false;
  }
  if (objekt == m_faellig && ereignis->type() == QEvent::FocusOut) {
    m_faellig->setFocusPolicy(m_tabFolge[3]->isChecked() ? Qt::ClickFocus : Qt::StrongFocus);
    return false;
  }
  return QObject::eventFilter(objekt, ereignis);
}

bool ZahlungKopffelder::MaskeTaste(int index, QKeyEvent* taste) {
  if (index != 0 && index != 3) return false;
  if (taste->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
  const QString text = taste->text();
  if (text.size() != 1 || !text.at(0).isPrint()) return false;
  MaskenFeld* feld = m_maske[size_t(index)];
  if (feld->isReadOnly()) return false;
  const int cursor = feld->hasSelectedText() ? feld->selectionStart() : feld->cursorPosition();
  const bool anwendbar = SmartfillAnwendbar(index);
  Datenbank* db = m_dienste.Db();
  Smartfill::Suche suche;
  if (db && index == 0) {
    const QString quellfeld = m_transportfelder.value(1);
    const QString nrFeld = Zustand().AdressQuelle().AdressNrFeld;
    const QStringList spalten = AdressSpalten(m_transportfelder, nrFeld);
    suche = [db, quellfeld, spalten](const QString& praefix) {
      std::optional<Smartfill::Treffer> t;
      PraefixSuchen(*db, QStringLiteral("Adressen"), quellfeld, spalten, praefix, t);  // a failure finds nothing
      return t;
    };
  } else if (db) {
    suche = [db](const QString& praefix) {
      std::optional<Smartfill::Treffer> t;
      PraefixSuchen(*db, QStringLiteral("Bankverbindung"), QStringLiteral("BIC"),
                    {QStringLiteral("BIC"), QStringLiteral("Bank")}, praefix, t);
      return t;
    };
  }
  const Smartfill::Tastenergebnis r =
      m_smartfill.TasteGedrueckt(text.at(0), feld->Wert(), cursor, index == 0, anwendbar && bool(suche), suche);
  if (r.opKontoNrLeeren) m_opKontoNr->clear();
  if (r.gefunden) {
    feld->WertSetzen(r.text);
    feld->AuswahlSetzen(r.cursor, r.markierungLaenge);
  }
  return r.tasteVerwerfen;
}

void ZahlungKopffelder::MaskeBetreten(int index) {
  MaskenFeld* feld = m_maske[size_t(index)];
  const int laenge = feld->text().size();
  if (index == 5) {
    feld->CaretSetzen(laenge);
  } else if (index == 4 && feld->IbanBlock()) {
    feld->CaretSetzen(laenge);
  } else {
    feld->AuswahlSetzen(0, laenge);
  }
  m_smartfill.FeldBetreten();
}

void ZahlungKopffelder::MaskeVerlassen(int index) {
  MaskenFeld* feld = m_maske[size_t(index)];
  const ZahlungsformularZustand& z = m_dienste.FormZustand();
  if (index == 0 || index == 3) {
    const auto werte = m_smartfill.Uebernahme(feld->Wert(), SmartfillAnwendbar(index));
    if (werte && index == 0) {
      UebernahmeAnwenden(UebernahmeAusAdresse(*werte, m_transportfelder, Zustand().AdressQuelle().AdressNrFeld,
                                              z.AktuelleZahlart()));
    } else if (werte && index == 3) {
      const QString bank = werte->value(QStringLiteral("Bank")).toString().trimmed();
      if (!bank.isEmpty()) m_maske[2]->WertSetzen(bank);
    }
  }
  if (z.Einstellungen().optischeFehlerKontrolle && z.EingabeModus() && !feld->isReadOnly() && feld->isEnabled()) {
    ZahlungEingabe e;
    Lesen(e);
    if (m_mandat) m_mandat->Lesen(e);
    const FeldGueltigkeit g = FelderPruefen(e, z.IstLastschrift(), Uhr::Heute());
    const std::array<bool, 6> gueltig = {g.name, g.mandatReferenz, true, g.bic, g.iban, g.verwendungszweck};
    feld->GueltigkeitAnzeigen(gueltig[size_t(index)]);
  }
  m_smartfill.FeldVerlassen();
}

void ZahlungKopffelder::SuchlisteOeffnen(int index, bool suchfeld) {
  int modus = 0;
  QString suchspalte;
  if (index == 0) {
    modus = 2;
    suchspalte = m_transportfelder.value(1);
  } else if (index == 2) {
    modus = 1;
    suchspalte = QStringLiteral("Bank");
  } else if (index == 3) {
    modus = 1;
    suchspalte = QStringLiteral("BIC");
  } else {
    return;  // mandate reference, IBAN and line text have no list
  }
  MaskenFeld* feld = m_maske[size_t(index)];
  if (feld->isReadOnly()) return;
  Suchkriterium kriterium;
  kriterium.feld = suchspalte;
  kriterium.wert = feld->Wert();
  QVariantList werte;
  if (m_dienste.SuchlisteZeigen(modus, Bedingung{}, kriterium, suchfeld, werte)) {
    if (modus == 1) {
      if (werte.size() > 1 && !werte.at(1).isNull()) m_maske[3]->WertSetzen(werte.at(1).toString());
      if (werte.size() > 2 && !werte.at(2).isNull()) m_maske[2]->WertSetzen(werte.at(2).toString());
    } else {
      UebernahmeAnwenden(UebernahmeAusSuchliste(werte, m_dienste.FormZustand().AktuelleZahlart()));
      Q_EMIT AdresseGewaehlt();
    }
  }
  feld->setFocus();
}

void ZahlungKopffelder::UebernahmeAnwenden(const Empfaengeruebernahme& u) {
  const bool lastschrift = m_dienste.FormZustand().IstLastschrift();
  const auto setzen = [&u](MaskenFeld* feld, const std::optional<QString>& wert) {
    if (wert) feld->WertSetzen(*wert);
    else if (u.fehlendeLeeren) feld->WertSetzen(QString());
  };
  if (u.opKontoNrLeeren) m_opKontoNr->clear();
  if (u.name) m_maske[0]->WertSetzen(*u.name);
  setzen(m_maske[2], u.bank);
  setzen(m_maske[3], u.bic);
  setzen(m_maske[4], u.iban);
  if (u.mandatReferenz || lastschrift) setzen(m_maske[1], u.mandatReferenz);
  if (m_mandat && (u.mandatDatum || (lastschrift && (u.fehlendeLeeren || u.mandatDatumLeeren))))
    m_mandat->Datum()->WertSetzen(u.mandatDatum);
  if (u.opKontoNr) m_opKontoNr->setText(*u.opKontoNr);
  if (u.sequenzText && m_mandat)
    m_mandat->SequenzUebernehmen(*u.sequenzText, m_dienste.FormZustand().AktuelleZahlart(), m_opKontoNr->text());
  // The fields just filled show their state at once: a name picked from the list is no longer red.
  const ZahlungsformularZustand& z = m_dienste.FormZustand();
  if (z.Einstellungen().optischeFehlerKontrolle && z.EingabeModus()) {
    ZahlungEingabe e;
    Lesen(e);
    if (m_mandat) m_mandat->Lesen(e);
    const FeldGueltigkeit g = FelderPruefen(e, z.IstLastschrift(), Uhr::Heute());
    if (u.name) m_maske[0]->GueltigkeitAnzeigen(g.name);
    if (u.mandatReferenz && z.IstLastschrift()) m_maske[1]->GueltigkeitAnzeigen(g.mandatReferenz);
    if (u.bic) m_maske[3]->GueltigkeitAnzeigen(g.bic);
    if (u.iban) m_maske[4]->GueltigkeitAnzeigen(g.iban);
  }
  if (u.opKontoNr) Q_EMIT AdresseGewaehlt();
}
