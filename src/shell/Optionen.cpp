#include "shell/Optionen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QDir>

#include "common/Programmzustand.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/Dateidialog.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/TastenVorschau.h"
#include "shell/Datenordner.h"
#include "shell/Programmschrift.h"

Optionen::Optionen(QWidget* eltern) : QDialog(eltern) {
  setObjectName(QStringLiteral("Optionen"));
  setWindowTitle(QStringLiteral("Einstellungen"));
  setWindowIcon(Bildliste::Bilder16().Bild(QStringLiteral("Einstellungen")));

  auto* reiter = new QTabWidget(this);
  reiter->addTab(SeiteAllgemein(), QStringLiteral("Allgemein"));
  reiter->addTab(SeiteZahlungen(), QStringLiteral("Zahlungserfassung"));
  reiter->addTab(SeiteSchriftDaten(), QStringLiteral("Schrift und Daten"));

  auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
  connect(knoepfe, &QDialogButtonBox::accepted, this, [this] {
    if (Uebernehmen()) accept();
  });
  connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(reiter);
  layout->addWidget(knoepfe);

  // F1 and the Alt+letter rule of every window; Enter stays the dialog's (OK).
  auto* tasten = new TastenVorschau(this);
  tasten->EnterAlsTabSetzen(false);
  tasten->HilfeSetzen([this] { HilfeAnzeigen(HilfeKontext::Einstellungen, Zustand().HilfeOrdner(), this); });

  WerteAnzeigen(Programmoptionen::Laden());
  m_schrift = Programmschrift::Lesen();
  SchriftAnzeigen();
  DatenordnerSetzen(Zustand().DatenVerzeichnis());
  FensterpositionVerwalten(true, QStringLiteral("Optionen State"), this, 0, false);
}

QWidget* Optionen::SeiteAllgemein() {
  auto* seite = new QWidget;
  auto* layout = new QVBoxLayout(seite);
  for (const Optionsschalter::Eintrag& e : Optionsschalter::Eintraege()) {
    auto* box = new QCheckBox(Programmoptionen::Beschriftung(e.schluessel), seite);
    box->setObjectName(QString::fromLatin1(e.schluessel));
    box->setToolTip(QStringLiteral("Einstellung \u201E%1\u201C, Vorgabe: %2")
                        .arg(QString::fromLatin1(e.schluessel), e.vorgabe ? QStringLiteral("ein") : QStringLiteral("aus")));
    layout->addWidget(box);
    m_schalter.emplace_back(&e, box);
  }
  layout->addStretch();
  return seite;
}

QWidget* Optionen::SeiteZahlungen() {
  auto* seite = new QWidget;
  auto* layout = new QVBoxLayout(seite);

  auto* kopie = new QGroupBox(QStringLiteral("Bei neuer Zahlung übernehmen"), seite);
  auto* kopieLayout = new QGridLayout(kopie);
  const QStringList felder = {QStringLiteral("Name und Adressnummer"), QStringLiteral("Bank"), QStringLiteral("BIC"),
                              QStringLiteral("IBAN"), QStringLiteral("Reserve 1"), QStringLiteral("Reserve 2")};
  for (int i = 0; i < 6; ++i) {
    m_kopierfeld[i] = new QCheckBox(felder.at(i), kopie);
    m_kopierfeld[i]->setObjectName(QStringLiteral("Kopierfeld%1").arg(i));
    // Copy fields 4 and 5 are stored but no command reads them: not offered, their values kept.
    if (i < 4) kopieLayout->addWidget(m_kopierfeld[i], i % 2, i / 2);
    else m_kopierfeld[i]->hide();
  }
  layout->addWidget(kopie);

  auto* eingabe = new QGroupBox(QStringLiteral("Eingabe"), seite);
  auto* form = new QFormLayout(eingabe);
  m_neueingabe = new QCheckBox(QStringLiteral("Nach dem Speichern einer neuen Zahlung sofort die nächste beginnen"), eingabe);
  m_neueingabe->setObjectName(QStringLiteral("NeueingabeFortsetzen"));
  form->addRow(m_neueingabe);
  m_speicherfeld = new QComboBox(eingabe);
  m_speicherfeld->setObjectName(QStringLiteral("Speicherfeld"));
  for (Speicherfeld f : AlleSpeicherfelder()) m_speicherfeld->addItem(SpeicherfeldBeschriftung(f), int(f));
  form->addRow(QStringLiteral("Speichern mit Enter:"), m_speicherfeld);
  m_fehlerKontrolle = new QCheckBox(QStringLiteral("Fehlerhafte Eingabefelder farbig markieren"), eingabe);
  m_fehlerKontrolle->setObjectName(QStringLiteral("OptischeFehlerKontrolle"));
  form->addRow(m_fehlerKontrolle);
  m_aufAbPfeil = new QCheckBox(QStringLiteral("Pfeiltasten auf/ab im Betragsfeld verwenden"), eingabe);
  m_aufAbPfeil->setObjectName(QStringLiteral("AufAbPfeilVerwenden"));
  form->addRow(m_aufAbPfeil);
  m_blzAbgleich = new QCheckBox(QStringLiteral("Beim Prüfen die BIC mit den Bankverbindungen abgleichen"), eingabe);
  m_blzAbgleich->setObjectName(QStringLiteral("PrüfenMitBLZAbgleich"));
  form->addRow(m_blzAbgleich);
  layout->addWidget(eingabe);

  auto* vorlagen = new QGroupBox(QStringLiteral("Verwendungszweck aus offenen Posten"), seite);
  auto* vorlagenForm = new QFormLayout(vorlagen);
  const QStringList titel = {QStringLiteral("Rechnung:"), QStringLiteral("Gutschrift:"), QStringLiteral("Anzahlung:")};
  for (int i = 0; i < 3; ++i) {
    m_vorlagen[i] = new QLineEdit(vorlagen);
    m_vorlagen[i]->setObjectName(QStringLiteral("AutoVerwendungszweck%1").arg(i + 1));
    m_vorlagen[i]->setToolTip(QStringLiteral("Platzhalter: {RgNr} und {RgDatum}"));
    vorlagenForm->addRow(titel.at(i), m_vorlagen[i]);
  }
  layout->addWidget(vorlagen);
  layout->addStretch();
  return seite;
}

QWidget* Optionen::SeiteSchriftDaten() {
  auto* seite = new QWidget;
  auto* layout = new QVBoxLayout(seite);

  auto* schrift = new QGroupBox(QStringLiteral("Programmschrift"), seite);
  auto* schriftLayout = new QHBoxLayout(schrift);
  m_schriftAnzeige = new QLabel(schrift);
  m_schriftAnzeige->setObjectName(QStringLiteral("SchriftAnzeige"));
  auto* waehlen = new QPushButton(QStringLiteral("Schrift &wählen..."), schrift);
  connect(waehlen, &QPushButton::clicked, this, [this] {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, m_schrift, this, QStringLiteral("Programmschrift"));
    if (ok) {
      m_schrift = f;
      SchriftAnzeigen();
    }
  });
  schriftLayout->addWidget(m_schriftAnzeige, 1);
  schriftLayout->addWidget(waehlen);
  layout->addWidget(schrift);

  auto* daten = new QGroupBox(QStringLiteral("Datenverzeichnis"), seite);
  auto* datenLayout = new QHBoxLayout(daten);
  m_datenordner = new QLineEdit(daten);
  m_datenordner->setObjectName(QStringLiteral("Datenlaufwerk"));
  m_datenordner->setToolTip(QStringLiteral("Verzeichnis der Datenbank TamoSEPA.db"));
  auto* suchen = new QPushButton(QStringLiteral("&Durchsuchen..."), daten);
  connect(suchen, &QPushButton::clicked, this, [this] {
    const std::optional<QString> ordner = Dateidialog::OrdnerWaehlen(
        this, QStringLiteral("Datenverzeichnis wählen"), m_datenordner->text(), {}, Zustand().DatenVerzeichnis());
    if (ordner && !ordner->isEmpty()) DatenordnerSetzen(*ordner);
  });
  datenLayout->addWidget(m_datenordner, 1);
  datenLayout->addWidget(suchen);
  layout->addWidget(daten);
  layout->addStretch();
  return seite;
}

void Optionen::SchriftAnzeigen() {
  m_schriftAnzeige->setText(QStringLiteral("%1, %2 pt").arg(m_schrift.family()).arg(m_schrift.pointSizeF()));
}

void Optionen::WerteAnzeigen(const Programmoptionen& werte) {
  for (auto& [eintrag, box] : m_schalter) box->setChecked(werte.schalter.*(eintrag->schalter));
  for (int i = 0; i < 6; ++i) m_kopierfeld[i]->setChecked(werte.kopierfeld[i]);
  m_neueingabe->setChecked(werte.neueingabeFortsetzen);
  m_speicherfeld->setCurrentIndex(m_speicherfeld->findData(int(werte.speicherfeld)));
  for (int i = 0; i < 3; ++i) m_vorlagen[i]->setText(werte.autoVerwendungszweck.value(i));
  m_fehlerKontrolle->setChecked(werte.optischeFehlerKontrolle);
  m_aufAbPfeil->setChecked(werte.aufAbPfeilVerwenden);
  m_blzAbgleich->setChecked(werte.pruefenMitBlzAbgleich);
}

Programmoptionen Optionen::Werte() const {
  Programmoptionen w;
  for (const auto& [eintrag, box] : m_schalter) w.schalter.*(eintrag->schalter) = box->isChecked();
  for (int i = 0; i < 6; ++i) w.kopierfeld[i] = m_kopierfeld[i]->isChecked();
  w.neueingabeFortsetzen = m_neueingabe->isChecked();
  w.speicherfeld = Speicherfeld(m_speicherfeld->currentData().toInt());
  for (int i = 0; i < 3; ++i) w.autoVerwendungszweck.append(m_vorlagen[i]->text());
  w.optischeFehlerKontrolle = m_fehlerKontrolle->isChecked();
  w.aufAbPfeilVerwenden = m_aufAbPfeil->isChecked();
  w.pruefenMitBlzAbgleich = m_blzAbgleich->isChecked();
  return w;
}

QString Optionen::Datenordner() const { return m_datenordner->text().trimmed(); }

void Optionen::DatenordnerSetzen(const QString& ordner) { m_datenordner->setText(QDir::toNativeSeparators(ordner)); }

bool Optionen::Uebernehmen() {
  const QString ordner = Datenordner();
  if (QDir(ordner) != QDir(Zustand().DatenVerzeichnis()) || ordner.isEmpty()) {
    if (m_andereSchliessen && !m_andereSchliessen()) return false;
    const ::Datenordner::Ergebnis e = ::Datenordner::Wechseln(ordner);
    if (!e.ok) {
      Meldung::Fehler(e.meldung, {}, this);
      m_datenordner->setFocus();
      return false;
    }
    if (!e.hinweis.isEmpty())
    Meldung::Zeigen(e.hinweis, MeldungsKnoepfe::Ok, e.warnung ? MeldungsSymbol::Ausruf : MeldungsSymbol::Information, {}, this);
  }
  const Programmoptionen werte = Werte();
  werte.Speichern();
  Zustand().OptionenSetzen(werte.schalter);
  Zustand().KopierfeldSetzen(werte.kopierfeld);
  if (m_schrift != Programmschrift::Lesen()) Programmschrift::Speichern(m_schrift);
  FensterpositionVerwalten(false, QStringLiteral("Optionen State"), this, 0, false);
  if (m_nachSpeichern) m_nachSpeichern();
  return true;
}
