#include "masterdata/FormularAbsender.h"

#include <QCloseEvent>
#include <QDir>
#include <QComboBox>
#include <QKeyEvent>
#include <QFont>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "masterdata/core/Absenderverwaltung.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/Dateidialog.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/StatusLeiste.h"
#include "platform/ui/TastenVorschau.h"
#include "platform/ui/Werkzeugleiste.h"
#include "platform/db/Recordset.h"
#include "printing/ReportAuswaehlen.h"
#include "platform/ui/Feldgrenze.h"

namespace {
const QString kAbschnitt = QStringLiteral("Absender State");
const QString kLoeschenTitel = QStringLiteral("Absender löschen");

QString Fehlertext(const QString& aktion, const DbFehler& f) {
  return Meldung::Zeilen({aktion, QString(), f.Meldungstext()});
}
}  // namespace

FormularAbsender::FormularAbsender(QWidget* eltern) : QDialog(eltern) {
  setObjectName(QStringLiteral("FormularAbsender"));
  setWindowTitle(QStringLiteral("Absender"));
  setWindowIcon(Bildliste::Bilder16().Bild(QStringLiteral("Absender")));

  m_leiste = new Werkzeugleiste(this);
  m_leiste->setObjectName(QStringLiteral("Toolbar1"));
  m_leiste->DarstellungAusEinstellungen();
  m_leiste->KnopfHinzufuegen(QStringLiteral("Neu"), QStringLiteral("&Neu"), QStringLiteral("Neu"),
                             QStringLiteral("Neuen Absender anlegen"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Speichern"), QStringLiteral("&Speichern"), QStringLiteral("Speichern"),
                             QStringLiteral("Absender speichern"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Löschen"), QStringLiteral("&Löschen"), QStringLiteral("Löschen"),
                             QStringLiteral("Absender löschen"));
  m_leiste->TrennerHinzufuegen();
  m_leiste->KnopfHinzufuegen(QStringLiteral("Aktivieren"), QStringLiteral("&Aktivieren"), QStringLiteral("Absender"),
                             QStringLiteral("Diesen Absender zum aktiven Absender machen"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Drucken"), QStringLiteral("&Drucken"), QStringLiteral("Drucken"),
                             QStringLiteral("Daten ausdrucken"));
  m_leiste->TrennerHinzufuegen();
  m_leiste->KnopfHinzufuegen(QStringLiteral("Schliessen"), QStringLiteral("Schließen"), QStringLiteral("Schliessen"),
                             QStringLiteral("Arbeitsfenster schließen"));
  m_leiste->HandlerSetzen([this](const QString& k) { Befehl(k); });
  // Ctrl/Alt+letter of the captions; without them Alt+S typed an "s" into the field.
  auto* tasten = new TastenVorschau(this);
  tasten->BuchstabeZuordnen(Qt::Key_N, m_leiste, QStringLiteral("Neu"));
  tasten->BuchstabeZuordnen(Qt::Key_S, m_leiste, QStringLiteral("Speichern"));
  tasten->BuchstabeZuordnen(Qt::Key_L, m_leiste, QStringLiteral("Löschen"));
  tasten->BuchstabeZuordnen(Qt::Key_D, m_leiste, QStringLiteral("Drucken"));
  // Alt only: Ctrl+A stays "select all" in the fields.
  tasten->TasteZuordnen(Qt::Key_A, Qt::AltModifier, [this] { return m_leiste->Druecken(QStringLiteral("Aktivieren")); });
  tasten->HilfeSetzen([this] { HilfeAnzeigen(HilfeKontext::Absender, Zustand().HilfeOrdner(), this); });

  m_liste = new QListWidget(this);
  m_liste->setObjectName(QStringLiteral("Liste"));
  m_liste->setToolTip(QStringLiteral("Gespeicherte Absender; der aktive ist fett"));
  connect(m_liste, &QListWidget::currentRowChanged, this, [this](int zeile) {
    if (m_laedt || zeile < 0) return;
    const int nr = m_liste->item(zeile)->data(Qt::UserRole).toInt();
    if (nr == m_nr && !m_geaendert) return;
    if (!AenderungenVerwerfenFragen()) {
      m_laedt = true;
      for (int i = 0; i < m_liste->count(); ++i)
        if (m_liste->item(i)->data(Qt::UserRole).toInt() == m_nr) m_liste->setCurrentRow(i);
      m_laedt = false;
      return;
    }
    Anzeigen(nr);
  });

  Datenbank* db = Zustand().Datenbank();
  auto feld = [this, db](const QString& name, const QString& tipp) {
    auto* f = new QLineEdit(this);
    f->setObjectName(name);
    f->setToolTip(tipp);
    if (db) {
      const int groesse = db->FeldGroesse(QStringLiteral("Absender"), name);
      Feldgrenze::Setzen(f, groesse);
    }
    connect(f, &QLineEdit::textEdited, this, [this] {
      if (!m_laedt) m_geaendert = true;
    });
    return f;
  };
  m_suchname = feld(QStringLiteral("Suchname"), QStringLiteral("Kurzname für Listen"));
  m_name = feld(QStringLiteral("Name"), QStringLiteral("Name des Kontoinhabers, wie er in der SEPA-Datei steht"));
  m_bank = feld(QStringLiteral("Bank"), QStringLiteral("Name der Bank"));
  m_glaeubigerId = feld(QStringLiteral("GläubigerID"), QStringLiteral("Gläubiger-Identifikationsnummer für Lastschriften"));
  m_referenzNr = feld(QStringLiteral("ReferenzNr"), QStringLiteral("Referenz der nächsten SEPA-Datei"));
  m_bemerkung = feld(QStringLiteral("Bemerkung"), QStringLiteral("Bemerkung zum Absender"));
  m_verbindung = feld(QStringLiteral("AdressenVerbindung"),
                      QStringLiteral("Datenbank des Buchhaltungs- oder Auftragsprogramms"));

  m_bic = new MaskenFeld(this);
  m_bic->setObjectName(QStringLiteral("BIC"));
  m_bic->setToolTip(QStringLiteral("BIC der Bank (8 oder 11 Zeichen)"));
  m_bic->ZeichenklasseSetzen(Zeichenklasse::GrossbuchstabenZiffern);
  m_bic->MaxLaengeSetzen(11);
  m_iban = new MaskenFeld(this);
  m_iban->setObjectName(QStringLiteral("IBAN"));
  m_iban->setToolTip(QStringLiteral("IBAN des Absender-Kontos"));
  m_iban->IbanBlockSetzen(Zustand().Optionen().IBANmitBlockEingeben);
  m_iban->ZeichenklasseSetzen(Zeichenklasse::GrossbuchstabenZiffern);
  m_iban->MaxLaengeSetzen(34);
  for (MaskenFeld* f : {m_bic, m_iban})
    connect(f, &MaskenFeld::Getippt, this, [this] {
      if (!m_laedt) m_geaendert = true;
    });

  m_adressenFormat = new QComboBox(this);
  m_adressenFormat->setObjectName(QStringLiteral("AdressenFormat"));
  m_adressenFormat->addItems({QStringLiteral("0 - Interne Adressen"),
                              QStringLiteral("1 - Buchhaltungsprogramm (Tamo-Livra)"),
                              QStringLiteral("2 - Auftragsprogramm (Tamo-Ordel)")});
  m_adressenFormat->setToolTip(QStringLiteral("Woher die Adressen und offenen Posten dieses Absenders kommen"));
  connect(m_adressenFormat, &QComboBox::currentIndexChanged, this, [this](int) {
    if (!m_laedt) m_geaendert = true;
    KnoepfeSetzen();
  });
  m_verbindungWaehlen = new QPushButton(QStringLiteral("..."), this);
  m_verbindungWaehlen->setToolTip(QStringLiteral("Datenbank auswählen"));
  m_verbindungWaehlen->setAutoDefault(false);
  connect(m_verbindungWaehlen, &QPushButton::clicked, this, &FormularAbsender::VerbindungWaehlen);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Suchname:"), m_suchname);
  form->addRow(QStringLiteral("Name:"), m_name);
  form->addRow(QStringLiteral("Bank:"), m_bank);
  form->addRow(QStringLiteral("BIC:"), m_bic);
  form->addRow(QStringLiteral("IBAN:"), m_iban);
  form->addRow(QStringLiteral("Gläubiger-ID:"), m_glaeubigerId);
  form->addRow(QStringLiteral("Referenz-Nr.:"), m_referenzNr);
  form->addRow(QStringLiteral("Bemerkung:"), m_bemerkung);
  form->addRow(QStringLiteral("Adressenformat:"), m_adressenFormat);
  auto* verbindung = new QHBoxLayout;
  verbindung->addWidget(m_verbindung, 1);
  verbindung->addWidget(m_verbindungWaehlen);
  form->addRow(QStringLiteral("Verbindung:"), verbindung);

  auto* rechts = new QWidget(this);
  rechts->setLayout(form);
  auto* teiler = new QSplitter(this);
  teiler->addWidget(m_liste);
  teiler->addWidget(rechts);
  teiler->setStretchFactor(1, 1);

  m_status = new StatusLeiste(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_leiste);
  auto* mitte = new QVBoxLayout;
  mitte->setContentsMargins(8, 8, 8, 8);
  mitte->addWidget(teiler);
  layout->addLayout(mitte, 1);
  layout->addWidget(m_status);

  setTabOrder(m_suchname, m_name);
  setTabOrder(m_name, m_bank);
  setTabOrder(m_bank, m_bic);
  setTabOrder(m_bic, m_iban);
  setTabOrder(m_iban, m_glaeubigerId);

  resize(760, 420);
  FensterpositionVerwalten(true, kAbschnitt, this, 0, false);
  ListeLaden(Zustand().AktuelleAbsenderNr());
}

void FormularAbsender::ListeLaden(int auswahl) {
  m_laedt = true;
  m_liste->clear();
  Datenbank* db = Zustand().Datenbank();
  if (!db) {
    m_laedt = false;
    Meldung::Fehler(Fehlertext(QStringLiteral("Fehler bei der Datenermittlung!"), KeineDatenbankFehler()), {}, this);
    return;
  }
  DbFehler f;
  const std::vector<Absenderdaten> alle = Absenderverwaltung::Alle(*db, f);
  if (f) {
    m_laedt = false;
    Meldung::Fehler(Fehlertext(QStringLiteral("Fehler bei der Datenermittlung!"), f), {}, this);
    return;
  }
  int zeile = -1;
  for (const Absenderdaten& d : alle) {
    QString text = d.suchname.isEmpty() ? d.name : d.suchname;
    if (text.isEmpty()) text = QStringLiteral("(ohne Namen)");
    auto* eintrag = new QListWidgetItem(QStringLiteral("%1  %2").arg(d.nr).arg(text), m_liste);
    eintrag->setData(Qt::UserRole, d.nr);
    if (d.nr == Zustand().AktuelleAbsenderNr()) {
      QFont fett = eintrag->font();
      fett.setBold(true);
      eintrag->setFont(fett);
      eintrag->setText(eintrag->text() + QStringLiteral("  (aktiv)"));
    }
    if (d.nr == auswahl) zeile = m_liste->count() - 1;
  }
  if (zeile < 0 && m_liste->count() > 0) zeile = 0;
  m_liste->setCurrentRow(zeile);
  m_laedt = false;
  if (zeile >= 0) Anzeigen(m_liste->item(zeile)->data(Qt::UserRole).toInt());
  else Neu();
}

void FormularAbsender::Anzeigen(int nr) {
  Datenbank* db = Zustand().Datenbank();
  if (!db) return;
  DbFehler f;
  const std::optional<Absenderdaten> d = Absenderverwaltung::Laden(*db, nr, f);
  if (f) {
    Meldung::Fehler(Fehlertext(QStringLiteral("Fehler bei der Datenermittlung!"), f), {}, this);
    return;
  }
  if (!d) return;
  FelderSetzen(*d);
}

void FormularAbsender::FelderSetzen(const Absenderdaten& d) {
  m_laedt = true;
  m_nr = d.nr;
  m_geladen = d;
  m_suchname->setText(d.suchname);
  m_name->setText(d.name);
  m_bank->setText(d.bank);
  m_bic->WertSetzen(d.bic);
  m_iban->WertSetzen(d.iban);
  m_glaeubigerId->setText(d.glaeubigerId);
  m_referenzNr->setText(d.referenzNr);
  m_bemerkung->setText(d.bemerkung);
  m_adressenFormat->setCurrentIndex(qBound(0, d.adressenFormat, 2));
  m_verbindung->setText(d.adressenVerbindung);
  m_geaendert = false;
  m_laedt = false;
  KnoepfeSetzen();
}

Absenderdaten FormularAbsender::Felder() const {
  Absenderdaten d;
  d.nr = m_nr;
  d.suchname = m_suchname->text();
  d.name = m_name->text();
  d.bank = m_bank->text();
  d.bic = m_bic->Wert();
  d.iban = m_iban->Wert();
  d.glaeubigerId = m_glaeubigerId->text();
  d.referenzNr = m_referenzNr->text();
  d.bemerkung = m_bemerkung->text();
  d.adressenFormat = m_adressenFormat->currentIndex();
  d.adressenVerbindung = m_verbindung->text();
  return d;
}

bool FormularAbsender::Auswaehlen(int nr) {
  for (int i = 0; i < m_liste->count(); ++i) {
    if (m_liste->item(i)->data(Qt::UserRole).toInt() == nr) {
      m_liste->setCurrentRow(i);
      return m_nr == nr;
    }
  }
  return false;
}

void FormularAbsender::KnoepfeSetzen() {
  const bool extern_ = m_adressenFormat->currentIndex() > 0;
  m_verbindung->setEnabled(extern_);
  m_verbindungWaehlen->setEnabled(extern_);
  // The active sender cannot be deleted (its recordset and the payments in work depend on it).
  m_leiste->AktiviertSetzen(QStringLiteral("Löschen"), m_nr > 0 && m_nr != Zustand().AktuelleAbsenderNr());
  m_leiste->AktiviertSetzen(QStringLiteral("Aktivieren"), m_nr > 0 && m_nr != Zustand().AktuelleAbsenderNr());
  m_status->TextSetzen(m_nr > 0 ? QStringLiteral("Absender %1").arg(m_nr) : QStringLiteral("Neuer Absender"));
}

void FormularAbsender::Befehl(const QString& knopf) {
  if (knopf == QStringLiteral("Neu")) Neu();
  else if (knopf == QStringLiteral("Speichern")) Speichern();
  else if (knopf == QStringLiteral("Löschen")) Loeschen();
  else if (knopf == QStringLiteral("Aktivieren")) Aktivieren();
  else if (knopf == QStringLiteral("Drucken")) Drucken();
  else if (knopf == QStringLiteral("Schliessen")) close();
}

void FormularAbsender::Drucken() {
  Datenbank* db = Zustand().Datenbank();
  if (!db) return;
  DruckAnfordern(
      QStringLiteral("Absenderliste"),
      [this, db]() -> std::unique_ptr<Reportdaten> {
        Abfrage a = Abfrage::Tabelle(QStringLiteral("Absender"));
        a.sortierung = SqlText("AbsenderNr");
        DbFehler f;
        std::unique_ptr<Recordset> rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Snapshot, f);
        if (!rs) {
          Meldung::Fehler(Fehlertext(QStringLiteral("Fehler bei der Datenermittlung!"), f), {}, this);
          return nullptr;
        }
        return std::make_unique<RecordsetReportdaten>(std::move(rs));
      },
      {}, Druckformular{.fenster = this, .titel = windowTitle()});
}

bool FormularAbsender::AenderungenVerwerfenFragen() {
  if (!m_geaendert) return true;
  return Meldung::Frage(Meldung::Zeilen({QStringLiteral("Die Änderungen am Absender wurden noch nicht gespeichert."),
                                         QStringLiteral("Sollen die Änderungen verworfen werden?")}),
                        {}, this);
}

void FormularAbsender::Neu() {
  if (!AenderungenVerwerfenFragen()) return;
  m_laedt = true;
  m_liste->setCurrentRow(-1);
  m_laedt = false;
  FelderSetzen(Absenderdaten{});
  m_suchname->setFocus();
}

void FormularAbsender::FeldFokussieren(Absenderpruefung::Feld feld) {
  QWidget* w = m_name;
  switch (feld) {
    case Absenderpruefung::Feld::Name: w = m_name; break;
    case Absenderpruefung::Feld::Bic: w = m_bic; break;
    case Absenderpruefung::Feld::Iban: w = m_iban; break;
    case Absenderpruefung::Feld::GlaeubigerId: w = m_glaeubigerId; break;
    case Absenderpruefung::Feld::AdressenVerbindung: w = m_verbindung; break;
  }
  w->setFocus();
}

bool FormularAbsender::DatenbankNeuOeffnen() {
  const StartErgebnis e = DatenbankOeffnen();
  if (!e.Ok()) {
    Meldung::Fehler(e.meldung.isEmpty() ? e.fehler.Meldungstext() : e.meldung, {}, this);
    return false;
  }
  if (!e.hinweis.isEmpty())
    Meldung::Zeigen(e.hinweis, MeldungsKnoepfe::Ok, e.warnung ? MeldungsSymbol::Ausruf : MeldungsSymbol::Information, {}, this);
  return true;
}

bool FormularAbsender::Speichern() {
  Datenbank* db = Zustand().Datenbank();
  if (!db) return false;
  Absenderdaten d = Felder();
  if (const auto fehler = Absenderpruefung::Pruefen(d)) {
    Meldung::Warnung(fehler->meldung, {}, this);
    FeldFokussieren(fehler->feld);
    return false;
  }
  d = Absenderpruefung::Normalisieren(d);
  const DbFehler f = Absenderverwaltung::Speichern(*db, d, d.nr > 0 ? &m_geladen : nullptr);
  if (f) {
    Meldung::Fehler(Fehlertext(QStringLiteral("Fehler beim Speichern der Daten!"), f), {}, this);
    // Changed or deleted elsewhere meanwhile: what is stored now is shown, for the change to be made on it.
    if (f.Nummer == DbFehlerNr::KeineTreffer && d.nr > 0) {
      m_geaendert = false;
      ListeLaden(d.nr);
    }
    return false;
  }
  m_geaendert = false;
  // The active sender's source may have changed: the database links its tables anew.
  if (d.nr == Zustand().AktuelleAbsenderNr()) {
    DatenbankNeuOeffnen();
    Q_EMIT AbsenderAktiviert();
  }
  ListeLaden(d.nr);
  return true;
}

bool FormularAbsender::Loeschen() {
  Datenbank* db = Zustand().Datenbank();
  if (!db || m_nr <= 0) return false;
  if (m_nr == Zustand().AktuelleAbsenderNr()) {
    Meldung::Hinweis(Meldung::Zeilen({QStringLiteral("Der aktive Absender kann nicht gelöscht werden."),
                                      QStringLiteral("Bitte aktivieren Sie zuerst einen anderen Absender.")}),
                     kLoeschenTitel, this);
    return false;
  }
  DbFehler f;
  const int zahlungen = Absenderverwaltung::ZahlungenZaehlen(*db, m_nr, f);
  if (f) {
    Meldung::Fehler(Fehlertext(QStringLiteral("Fehler bei der Datenermittlung!"), f), kLoeschenTitel, this);
    return false;
  }
  const QString name = m_name->text().trimmed().isEmpty() ? QString::number(m_nr) : m_name->text().trimmed();
  const QString frage =
      zahlungen > 0
          ? Meldung::Zeilen({QStringLiteral("Zum Absender \u201E%1\u201C gibt es noch %2 Zahlung(en).").arg(name).arg(zahlungen),
                             QStringLiteral("Sollen der Absender und seine %1 Zahlung(en) gelöscht werden?").arg(zahlungen)})
          : QStringLiteral("Soll der Absender \u201E%1\u201C gelöscht werden?").arg(name);
  if (!Meldung::Frage(frage, kLoeschenTitel, this)) return false;
  f = Absenderverwaltung::Loeschen(*db, m_nr);
  if (f) {
    Meldung::Fehler(Fehlertext(QStringLiteral("Fehler beim Löschen der Daten!"), f), kLoeschenTitel, this);
    return false;
  }
  m_geaendert = false;
  ListeLaden(Zustand().AktuelleAbsenderNr());
  return true;
}

bool FormularAbsender::Aktivieren() {
  if (m_nr <= 0) return false;
  if (m_geaendert) {
    Meldung::Hinweis(QStringLiteral("Bitte speichern Sie zuerst die Änderungen am Absender."), {}, this);
    return false;
  }
  const StartErgebnis e = Absenderverwaltung::Aktivieren(m_nr);
  if (!e.Ok()) {
    Meldung::Fehler(e.meldung, {}, this);
    ListeLaden(Zustand().AktuelleAbsenderNr());
    return false;
  }
  if (!e.hinweis.isEmpty())
    Meldung::Zeigen(e.hinweis, MeldungsKnoepfe::Ok, e.warnung ? MeldungsSymbol::Ausruf : MeldungsSymbol::Information, {}, this);
  ListeLaden(m_nr);
  Q_EMIT AbsenderAktiviert();
  return true;
}

void FormularAbsender::VerbindungWaehlen() {
  const std::optional<QString> datei = Dateidialog::DateiOeffnen(
      this, QStringLiteral("Datenbank auswählen"), m_verbindung->text(),
      QStringLiteral("Datenbanken (*.db *.sqlite *.sqlite3);;Alle Dateien (*)"), Zustand().DatenVerzeichnis());
  if (!datei || datei->isEmpty()) return;
  m_verbindung->setText(*datei);
  m_geaendert = true;
}

void FormularAbsender::closeEvent(QCloseEvent* ereignis) {
  if (!AenderungenVerwerfenFragen()) {
    ereignis->ignore();
    return;
  }
  FensterpositionVerwalten(false, kAbschnitt, this, 0, false);
  QDialog::closeEvent(ereignis);
}

void FormularAbsender::keyPressEvent(QKeyEvent* ereignis) {
  // Esc closes through closeEvent, so unsaved changes are asked for.
  if (ereignis->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QDialog::keyPressEvent(ereignis);
}
