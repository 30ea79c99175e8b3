#include "masterdata/SuchlisteF4.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "masterdata/Gitterspalten.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/Meldung.h"

namespace {
const QString kAbschnitt = QStringLiteral("Suchliste State");
}

SuchlisteF4::SuchlisteF4(QWidget* eltern) : QDialog(eltern) {
  setObjectName(QStringLiteral("SuchlisteF4"));
  setWindowTitle(QStringLiteral("Suchliste"));
  setModal(true);
  setWindowIcon(Bildliste::Bilder16().Bild(QStringLiteral("Suchen")));

  m_suchfeld = new QLineEdit(this);
  m_suchfeld->setObjectName(QStringLiteral("Suchfeld"));
  m_suchfeld->setPlaceholderText(QStringLiteral("Suchbegriff"));
  m_suchfeld->setToolTip(QStringLiteral("Die Liste springt auf den ersten passenden Eintrag"));
  connect(m_suchfeld, &QLineEdit::textEdited, this, [this](const QString& t) { Suchen(t); });
  connect(m_suchfeld, &QLineEdit::returnPressed, this, &SuchlisteF4::Waehlen);

  m_gitter = new DatenGitter(this);
  m_gitter->setObjectName(QStringLiteral("TDBGrid1"));
  m_gitter->SetzeMarkierungsstil(DatenGitter::Markierungsstil::ZeileHervorgehoben);
  m_gitter->SetzeWechselndeZeilen(!Zustand().Optionen().TabellenOhneZebramuster);
  connect(m_gitter, &DatenGitter::DoppelKlick, this, [this](int) { Waehlen(); });
  m_gitter->TasteRunter = [this](GitterTaste& t) {
    if (t.taste == Qt::Key_Return || t.taste == Qt::Key_Enter) {
      t.geschluckt = true;
      Waehlen();
    }
  };
  connect(m_gitter->Ansicht()->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int spalte) {
    if (spalte >= 0 && spalte < m_gitter->SpaltenAnzahl()) SortierenNach(m_gitter->Spalte(spalte).feld);
  });

  m_uebernehmen = new QPushButton(QStringLiteral("&Übernehmen"), this);
  m_uebernehmen->setObjectName(QStringLiteral("Uebernehmen"));
  m_uebernehmen->setAutoDefault(false);
  connect(m_uebernehmen, &QPushButton::clicked, this, &SuchlisteF4::Waehlen);
  auto* abbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
  abbrechen->setAutoDefault(false);
  connect(abbrechen, &QPushButton::clicked, this, &QDialog::reject);

  auto* unten = new QHBoxLayout;
  unten->addStretch();
  unten->addWidget(m_uebernehmen);
  unten->addWidget(abbrechen);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_suchfeld);
  layout->addWidget(m_gitter, 1);
  layout->addLayout(unten);
  resize(700, 420);
}

SuchlisteF4::~SuchlisteF4() {
  m_gitter->SetzeRecordset(nullptr);
}

bool SuchlisteF4::Daten(const QFont& schrift, bool suchfeld, const Bedingung& zahlungsfilter,
                        const Suchkriterium& kriterium, int modus) {
  m_modus = modus == 1 ? Suchlistenquelle::Modus::Banken
                       : modus == 3 ? Suchlistenquelle::Modus::Zahlungen : Suchlistenquelle::Modus::Adressen;
  m_filter = m_modus == Suchlistenquelle::Modus::Zahlungen ? zahlungsfilter : Bedingung();
  m_gewaehlt = false;
  m_werte.clear();
  setFont(schrift);
  m_suchfeld->setVisible(suchfeld);
  m_suchfeld->clear();
  switch (m_modus) {
    case Suchlistenquelle::Modus::Banken: setWindowTitle(QStringLiteral("Suchliste Bankverbindungen")); break;
    case Suchlistenquelle::Modus::Adressen: setWindowTitle(QStringLiteral("Suchliste Adressen")); break;
    case Suchlistenquelle::Modus::Zahlungen: setWindowTitle(QStringLiteral("Suchliste Zahlungen")); break;
  }
  m_sortierfeld = GetSetting(kAbschnitt, Suchlistenquelle::SortierSchluessel(m_modus)).trimmed();
  FensterpositionVerwalten(true, kAbschnitt, this, 50, false);
  if (!Laden()) return false;
  if (!kriterium.IstLeer()) Positionieren(kriterium);
  if (suchfeld) m_suchfeld->setFocus();
  else m_gitter->Ansicht()->setFocus();
  return true;
}

bool SuchlisteF4::Laden() {
  Datenbank* db = Zustand().Datenbank();
  DbFehler fehler = db ? DbFehler() : KeineDatenbankFehler();
  m_gitter->SetzeRecordset(nullptr);
  m_rs.reset();
  if (db) {
    Abfrage a = Suchlistenquelle::AbfrageFuer(m_modus, m_filter, m_sortierfeld);
    m_rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Snapshot, fehler);
    if (!m_rs && !m_sortierfeld.isEmpty()) {
      // A stored sort column that the source no longer has: key order instead.
      m_sortierfeld.clear();
      a = Suchlistenquelle::AbfrageFuer(m_modus, m_filter, m_sortierfeld);
      m_rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Snapshot, fehler);
    }
  }
  if (!m_rs) {
    m_gitter->LeerAnzeigen();
    m_uebernehmen->setEnabled(false);
    Meldung::Fehler(DatenermittlungsFehlertext(fehler),
                    {}, this);
    return false;
  }
  m_gitter->SetzeRecordset(m_rs.get());
  for (int s = 0; s < m_gitter->SpaltenAnzahl(); ++s)
    m_gitter->SetzeSpaltentitel(s, Suchlistenquelle::Spaltentitel(m_gitter->Spalte(s).feld));
  Gitterspalten::CodesVerbreitern(*m_gitter);
  m_uebernehmen->setEnabled(m_rs->RecordCount() > 0);
  return true;
}

bool SuchlisteF4::SortierenNach(const QString& feld) {
  if (!m_rs || !SqlText::IstGueltigerBezeichner(feld)) return false;
  const QVariant schluessel = m_gitter->Schluessel(m_gitter->AktuelleZeile());
  const DbFehler f = m_rs->Requery(m_filter, SqlText::Bezeichner(feld));
  if (f) {
    Meldung::Fehler(DatenermittlungsFehlertext(f), {},
                    this);
    m_gitter->LeerAnzeigen();
    return false;
  }
  m_sortierfeld = feld;
  SaveSetting(kAbschnitt, Suchlistenquelle::SortierSchluessel(m_modus), feld);
  m_gitter->Aktualisieren();
  const int zeile = m_gitter->ZeileVonSchluessel(schluessel);
  if (zeile >= 0) m_gitter->SetzeAktuelleZelle(zeile, std::max(0, m_gitter->AktuelleSpalte()));
  return true;
}

bool SuchlisteF4::Positionieren(const Suchkriterium& kriterium) {
  if (!m_rs || kriterium.IstLeer() || m_rs->SpaltenIndex(kriterium.feld) < 0) return false;
  const QString feld = kriterium.feld;
  m_rs->FindFirst([&kriterium, &feld](const Recordset& r) { return kriterium.Passt(r.Feld(feld)); });
  if (m_rs->NoMatch()) return false;
  const int zeile = m_gitter->ZeileVonSchluessel(m_rs->Bookmark());
  if (zeile < 0) return false;
  m_gitter->SetzeAktuelleZelle(zeile, std::max(0, m_gitter->AktuelleSpalte()));
  return true;
}

QString SuchlisteF4::Suchspalte() const {
  if (!m_sortierfeld.isEmpty()) return m_sortierfeld;
  switch (m_modus) {
    case Suchlistenquelle::Modus::Banken: return QStringLiteral("Bank");
    case Suchlistenquelle::Modus::Zahlungen: return QStringLiteral("Name");
    case Suchlistenquelle::Modus::Adressen: break;
  }
  if (m_rs && m_rs->SpaltenIndex(QStringLiteral("Suchname")) >= 0) return QStringLiteral("Suchname");
  return QStringLiteral("Name");
}

bool SuchlisteF4::Suchen(const QString& text) {
  if (!m_rs || text.isEmpty()) return false;
  const QString feld = Suchspalte();
  if (m_rs->SpaltenIndex(feld) < 0) return false;
  m_rs->FindFirst([&feld, &text](const Recordset& r) {
    return r.Text(feld).trimmed().startsWith(text.trimmed(), Qt::CaseInsensitive);
  });
  if (m_rs->NoMatch()) return false;
  const int zeile = m_gitter->ZeileVonSchluessel(m_rs->Bookmark());
  if (zeile < 0) return false;
  m_gitter->SetzeAktuelleZelle(zeile, std::max(0, m_gitter->AktuelleSpalte()));
  return true;
}

void SuchlisteF4::Waehlen() {
  if (!m_rs) return;
  const int zeile = m_gitter->AktuelleZeile();
  if (zeile < 0 || !m_rs->SetBookmark(m_gitter->Schluessel(zeile))) return;
  m_werte = Suchlistenquelle::Rueckwerte(m_modus, *m_rs, Zustand().AdressQuelle());
  m_gewaehlt = true;
  accept();
}

bool SuchlisteF4::Rueckwert(QVariantList& werte) {
  const bool ohneWahl = !m_gewaehlt;
  if (!ohneWahl) werte = m_werte;
  FensterpositionVerwalten(false, kAbschnitt, this, 50, false);
  m_gitter->SetzeRecordset(nullptr);
  m_rs.reset();
  m_gewaehlt = false;
  return ohneWahl;
}

void SuchlisteF4::showEvent(QShowEvent* ereignis) {
  QDialog::showEvent(ereignis);
  // The columns up to BIC and IBAN show without scrolling, each as wide as the rows in view need:
  // the list grows for them (up to nine tenths of the screen), names give way first.
  const QHeaderView* kopf = m_gitter->Ansicht()->horizontalHeader();
  int vorne = 0;
  for (const char* feld : {"BIC", "IBAN", "BankBIC", "BankIBAN"}) {
    const int i = m_gitter->SpaltenIndex(QString::fromUtf8(feld));
    if (i < 0 || !m_gitter->SpalteSichtbar(i)) continue;
    int sichtbarBis = 0;
    for (int v = 0; v <= kopf->visualIndex(i); ++v)
      if (!kopf->isSectionHidden(kopf->logicalIndex(v))) ++sichtbarBis;
    vorne = std::max(vorne, sichtbarBis);
  }
  FensterFuerSpaltenVerbreitern(*this, *m_gitter, vorne);
}

void SuchlisteF4::keyPressEvent(QKeyEvent* ereignis) {
  if (ereignis->key() == Qt::Key_F1 && ereignis->modifiers() == Qt::NoModifier) {
    HilfeAnzeigen(HilfeKontext::Suchliste, Zustand().HilfeOrdner(), this);
    return;
  }
  if ((ereignis->key() == Qt::Key_Down || ereignis->key() == Qt::Key_Up) && focusWidget() == m_suchfeld) {
    m_gitter->Ansicht()->setFocus();
    return;
  }
  QDialog::keyPressEvent(ereignis);
}

bool SuchlisteF4::Auswaehlen(QWidget* eltern, const QFont& schrift, int modus, const Bedingung& zahlungsfilter,
                             const Suchkriterium& kriterium, bool suchfeld, QVariantList& werte) {
  SuchlisteF4 liste(eltern);
  if (!liste.Daten(schrift, suchfeld, zahlungsfilter, kriterium, modus)) return false;
  liste.exec();
  return !liste.Rueckwert(werte);
}
