#include "printing/DruckLL.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/Programmzustand.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/ProgrammschriftSetzen.h"
#include "platform/ui/StatusLeiste.h"
#include "platform/ui/TastenVorschau.h"
#include "platform/ui/ZahlFeld.h"

namespace {
const QString kAbschnitt = QStringLiteral("Drucken State");
}

DruckLL::DruckLL(QWidget* eltern) : QDialog(eltern) {
  setObjectName(QStringLiteral("DruckLL"));
  setWindowTitle(QStringLiteral("Druckausgabe"));
  setWindowIcon(Bildliste::Bilder16().Bild(QStringLiteral("Drucken")));
  setModal(true);

  auto* optionen = new QGroupBox(QStringLiteral("Ausgabeoptionen"), this);
  optionen->setObjectName(QStringLiteral("ElasticOne1_1"));
  m_art = new OptionsGruppe(QStringLiteral("Wohin soll die Ausgabe erfolgen?"),
                            {QStringLiteral("&Bildschirm"), QStringLiteral("&Drucker"), QStringLiteral("&Einstellung abfragen")},
                            optionen, Qt::Horizontal);
  m_art->setObjectName(QStringLiteral("Art"));
  const char* tipps[3][2] = {
      {"Ausgabe auf Bildschirm", "Bildschirm-Druckvorschau (Drucken u. E-Mail ist möglich)"},
      {"Ausgabe auf Drucker", "Ausgabe per Drucker vornehmen"},
      {"Ausgabeeinstellungen abfragen", "Ausgabeeinstellungen separat abfragen"},
  };
  for (int i = 0; i < 3; ++i) {
    m_art->Option(i)->setToolTip(QString::fromUtf8(tipps[i][0]));
    m_art->Option(i)->setStatusTip(QString::fromUtf8(tipps[i][1]));
  }
  m_art->WertSetzen(0);
  connect(m_art, &OptionsGruppe::Geklickt, this, [this](int index) { m_ausgabe = index; });

  m_dateirahmenTitel = QStringLiteral("Welche Reportdatei soll benutzt werden?");
  m_dateirahmen = new QGroupBox(m_dateirahmenTitel, optionen);
  m_dateirahmen->setObjectName(QStringLiteral("ElasticOne1_3"));
  m_list1 = new QListWidget(m_dateirahmen);
  m_list1->setObjectName(QStringLiteral("List1"));
  m_list1->setToolTip(QStringLiteral("Reportdatei wählen"));
  m_list1->setStatusTip(QStringLiteral("Mit welcher Reportdatei soll die Ausgabe erfolgen?"));
  m_list1->setSortingEnabled(false);
  auto* listenLabel = new QLabel(QStringLiteral("&Reportdatei"), m_dateirahmen);
  listenLabel->setBuddy(m_list1);
  auto* dateiLayout = new QVBoxLayout(m_dateirahmen);
  dateiLayout->addWidget(listenLabel);
  dateiLayout->addWidget(m_list1);
  auto* optionenLayout = new QVBoxLayout(optionen);
  optionenLayout->addWidget(m_art);
  optionenLayout->addWidget(m_dateirahmen, 1);

  const char* knoepfe[4][3] = {
      {"Abbruch", "", "Druckausgabe abbrechen"},
      {"OK", "Ausgabe durchführen", "Ausgabe durchführen"},
      {"Rep&ort ändern", "Gewählten Report ändern", "Reportdatei im Report-Designer ändern"},
      {"&Neuer Report", "Neuen Report erstellen", "Neuen Report im Report-Designer erstellen"},
  };
  for (int i = 0; i < 4; ++i) {
    m_commask[i] = new QPushButton(QString::fromUtf8(knoepfe[i][0]), this);
    m_commask[i]->setObjectName(QStringLiteral("commask_%1").arg(i));
    m_commask[i]->setToolTip(QString::fromUtf8(knoepfe[i][1]));
    m_commask[i]->setStatusTip(QString::fromUtf8(knoepfe[i][2]));
    m_commask[i]->setAutoDefault(false);
    connect(m_commask[i], &QPushButton::clicked, this, [this, i] { KnopfDruecken(i); });
  }
  m_commask[1]->setDefault(true);

  m_kopien = new ZahlFeld(this);
  m_kopien->setObjectName(QStringLiteral("Kopien"));
  m_kopien->GanzzahlSetzen(true);
  m_kopien->BereichSetzen(1, 9);
  m_kopien->LeerErlaubtSetzen(false);
  m_kopien->AnzeigeFormatSetzen(ZahlFormat{0, false, {}, {}, {}});
  m_kopien->EingabeFormatSetzen(ZahlFormat::Eingabe(0));
  m_kopien->GanzzahlWertSetzen(1);
  m_kopien->setToolTip(QStringLiteral("Anzahl der Kopien"));
  m_kopien->setStatusTip(QStringLiteral("Eingabe der Kopienanzahl für die Druckausgabe"));
  auto* kopienLabel = new QLabel(QStringLiteral("&Anzahl"), this);
  kopienLabel->setBuddy(m_kopien);

  m_tdbDate1 = new DatumFeld(this);
  m_tdbDate1->setObjectName(QStringLiteral("TDBDate1"));
  m_tdbDate1->setToolTip(QStringLiteral("Reportdatum eingeben"));
  m_tdbDate1->setStatusTip(QStringLiteral("Welches Reportdatum soll der Ausdruck bekommen?"));
  auto* datumLabel = new QLabel(QStringLiteral("Reportda&tum"), this);
  datumLabel->setBuddy(m_tdbDate1);

  auto* unten = new QGridLayout;
  unten->addWidget(m_commask[2], 0, 0);
  unten->addWidget(m_commask[3], 1, 0);
  unten->addWidget(kopienLabel, 0, 1);
  unten->addWidget(m_kopien, 1, 1);
  unten->addWidget(datumLabel, 0, 2);
  unten->addWidget(m_tdbDate1, 1, 2);
  unten->setColumnStretch(3, 1);
  unten->addWidget(m_commask[1], 0, 4);
  unten->addWidget(m_commask[0], 1, 4);

  m_statusBar1 = new StatusLeiste(this);
  m_statusBar1->setObjectName(QStringLiteral("StatusBar1"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(optionen, 1);
  layout->addLayout(unten);
  layout->addWidget(m_statusBar1);

  // Tab order: the three options, the list, the designer buttons, copies, date, OK, Abbruch.
  setTabOrder(m_art->Option(0), m_art->Option(1));
  setTabOrder(m_art->Option(1), m_art->Option(2));
  setTabOrder(m_art->Option(2), m_list1);
  setTabOrder(m_list1, m_commask[2]);
  setTabOrder(m_commask[2], m_commask[3]);
  setTabOrder(m_commask[3], m_kopien);
  setTabOrder(m_kopien, m_tdbDate1);
  setTabOrder(m_tdbDate1, m_commask[1]);
  setTabOrder(m_commask[1], m_commask[0]);

  // A double click on an entry is "OK"; on the empty list it does nothing.
  connect(m_list1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* eintrag) {
    if (eintrag) KnopfDruecken(1);
  });
  connect(m_list1, &QListWidget::currentRowChanged, this, [this] { KnoepfeAnpassen(); });

  // F1 and the keys of the buttons, seen before the controls: Enter is "OK" (on a focused button
  // that button), Esc "Abbruch".
  auto* tasten = new TastenVorschau(this);
  tasten->EnterAlsTabSetzen(false);
  tasten->HilfeSetzen(
      [this] { HilfeAnzeigen(HilfeKontext::Drucken, Zustand().HilfeOrdner(), this); });
  tasten->AbbrechenKnopfSetzen(m_commask[0]);
  tasten->HandlerSetzen([this](QKeyEvent* taste) {
    if (taste->key() != Qt::Key_Return && taste->key() != Qt::Key_Enter) return false;
    if (auto* knopf = qobject_cast<QPushButton*>(focusWidget()))
      knopf->click();
    else
      KnopfDruecken(1);
    return true;
  });

  FensterpositionVerwalten(true, kAbschnitt, this, 70, false);
  if (!Zustand().Optionen().AlleFensterProportionaleSchrift) ProgrammschriftSetzen(this, QApplication::font());
}

DruckLL::~DruckLL() { FensterpositionVerwalten(false, kAbschnitt, this, 70, false); }

void DruckLL::ReportHinzufuegen(const QString& datei, const QString& beschreibung) {
  auto* eintrag = new QListWidgetItem(datei + QStringLiteral(" : ") + beschreibung, m_list1);
  eintrag->setData(Qt::UserRole, datei);
  KnoepfeAnpassen();
}

void DruckLL::ReportAuswaehlen(int index) { m_list1->setCurrentRow(index); }

int DruckLL::AusgewaehlterReport() const {
  const QListWidgetItem* e = m_list1->currentItem();
  return e && e->isSelected() ? m_list1->row(e) : -1;
}

void DruckLL::DateimaskeAnzeigen(const QString& maske) {
  m_dateirahmen->setTitle(m_dateirahmenTitel + QStringLiteral(" (Dateimaske:") + maske + QLatin1Char(')'));
}

void DruckLL::DatumSetzen(const QDate& datum) { m_tdbDate1->WertSetzen(datum.isValid() ? std::optional(datum) : std::nullopt); }

void DruckLL::KnoepfeAnpassen() {
  const bool gewaehlt = AusgewaehlterReport() >= 0;
  m_commask[1]->setEnabled(gewaehlt);
  m_commask[2]->setEnabled(gewaehlt);
}

bool DruckLL::KnopfDruecken(int index) {
  if (index < 0 || index > 3) return false;
  if (index == 0) {
    m_abbruch = true;
    m_gewaehlt.clear();
    m_gedrueckt = 0;
    QDialog::reject();
    return true;
  }
  const int zeile = AusgewaehlterReport();
  if ((index == 1 || index == 2) && zeile < 0) return false;
  m_tdbDate1->Uebernehmen();
  const std::optional<QDate> datum = m_tdbDate1->Wert();
  if (!datum) {
    Meldung::Hinweis(QStringLiteral("Bitte geben Sie ein gültiges Reportdatum ein."), {}, this);
    m_tdbDate1->setFocus();
    return false;
  }
  m_kopien->Uebernehmen();
  m_abbruch = false;
  m_gedrueckt = index;
  m_datum = datum;
  m_gewaehlt = zeile >= 0 ? m_list1->item(zeile)->data(Qt::UserRole).toString() : QString();
  QDialog::accept();
  return true;
}

void DruckLL::reject() {
  // Esc and the window's close button are "Abbruch".
  if (m_gedrueckt < 0) KnopfDruecken(0);
}

void DruckLL::closeEvent(QCloseEvent* ereignis) {
  if (m_gedrueckt < 0) KnopfDruecken(0);
  ereignis->accept();
}

void DruckLL::resizeEvent(QResizeEvent* ereignis) {
  QDialog::resizeEvent(ereignis);
  // The calendar is as wide as the field and a half and five fields high, in the dialog's font.
  m_tdbDate1->KalenderGroesseSetzen(QSize(int(m_tdbDate1->width() * 1.3), m_tdbDate1->height() * 5));
  m_tdbDate1->KalenderSchriftSetzen(font());
}

void DruckLL::showEvent(QShowEvent* ereignis) {
  QDialog::showEvent(ereignis);
  KnoepfeAnpassen();
  if (m_list1->count() > 0) m_list1->setFocus();
}
