#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>

#include <functional>
#include <memory>

#include "../masterdata/Stammdatenumgebung.h"
#include "common/Programmzustand.h"
#include "import/ImportForm.h"
#include "masterdata/core/Absenderdaten.h"
#include "masterdata/core/Absenderverwaltung.h"
#include "masterdata/AdressenEingabe.h"
#include "masterdata/FormAdressen.h"
#include "masterdata/FormularAbsender.h"
#include "masterdata/SuchlisteF4.h"
#include "payments/FaelligAbfrage.h"
#include "payments/FormularZahlung.h"
#include "payments/SkontoForm.h"
#include "platform/report/Ausgabeeinstellungen.h"
#include "printing/DruckLL.h"
#include "sepafiles/FormularDTADisk.h"
#include "sepafiles/FormularSelektiv.h"
#include "sepafiles/SepaFehlerliste.h"
#include "sepafiles/Zahlungsliste.h"
#include "shell/Optionen.h"
#include "shell/Rechner.h"
#include "shell/ZOVA10.h"
#include "testsupport/AltBuchstaben.h"

namespace {

// Two captions of one window with the same Alt letter: the key reaches only one of them (the payment
// list's kind and status "Alle" shared L, the output settings' printer and PDF file shared D).
class AltBuchstabenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_umgebung.Oeffnen(m_umgebung.Datenordner(QStringLiteral("daten")));
    // With the accounting program linked: the import window and every button of the payment form.
    Absenderdaten d;
    d.name = QStringLiteral("Mit Buchhaltung");
    d.adressenFormat = 1;
    d.adressenVerbindung = m_umgebung.Buchhaltungsdatei();
    ASSERT_TRUE(Absenderverwaltung::Speichern(*Zustand().Datenbank(), d).Ok());
    ASSERT_TRUE(Absenderverwaltung::Aktivieren(d.nr).Ok());
  }
  Stammdatenumgebung m_umgebung;
};

struct Fenster {
  const char* name;
  std::function<QWidget*()> erzeugen;
};

TEST_F(AltBuchstabenTest, KeinFensterGibtEinenBuchstabenZweimal) {
  QPrinter drucker;
  const Fenster fenster[] = {
      {"ZOVA10", [] { return new ZOVA10; }},
      {"Adressen", [] { return new FormAdressen(FormAdressen::Modus::Adressen); }},
      {"Bankverbindungen", [] { return new FormAdressen(FormAdressen::Modus::Bankverbindungen); }},
      {"Neue Adresse", [] { return new AdressenEingabe(AdressenEingabe::Art::Adresse, true); }},
      {"Neue Bankverbindung", [] { return new AdressenEingabe(AdressenEingabe::Art::Bank, true); }},
      {"Absender", [] { return new FormularAbsender; }},
      {"Suchliste", [] { return new SuchlisteF4; }},
      {"Zahlungen erfassen", [] { return FormularZahlungErzeugen(nullptr); }},
      {"Fälligkeit", [] { return new FaelligAbfrage; }},
      {"Skonto", [] { return new SkontoForm; }},
      {"SEPA-Datei", [] { return new FormularDTADisk; }},
      {"Fehlerliste", [] { return new SepaFehlerliste; }},
      {"Zahlungsliste", [] { return ZahlungslisteErzeugen(nullptr); }},
      {"Selektiv", [] { return new FormularSelektiv; }},
      {"Import", [] { return new ImportForm(ImportAufruf{}); }},
      {"Druckausgabe", [] { return new DruckLL; }},
      {"Ausgabeeinstellungen", [&drucker] { return new Ausgabeeinstellungen(drucker, QStringLiteral("Ausgabeeinstellungen"), {}); }},
      {"Einstellungen", [] { return new Optionen; }},
      {"Rechner", [] { return new Rechner; }},
  };
  int buchstaben = 0;
  for (const Fenster& f : fenster) {
    std::unique_ptr<QWidget> w(f.erzeugen());
    ASSERT_TRUE(w) << f.name;
    const QStringList doppelt = DoppelteAltBuchstaben(w.get());
    EXPECT_TRUE(doppelt.isEmpty()) << f.name << ": " << doppelt.join(QStringLiteral("; ")).toStdString();
    buchstaben += AltBuchstaben(w.get()).size();
  }
  EXPECT_GT(buchstaben, 80) << "the walk finds the captions' letters";
}

// The check itself: captions, buddy labels, group boxes and the window's Ctrl/Alt letters count; a
// caption of another mode (hidden) and a label without a buddy do not.
TEST_F(AltBuchstabenTest, DieSucheFindetJedeArtVonBuchstabe) {
  QWidget fenster;
  auto* ja = new QPushButton(QStringLiteral("&Ja"), &fenster);
  auto* jetzt = new QCheckBox(QStringLiteral("&Jetzt"), &fenster);
  EXPECT_EQ(DoppelteAltBuchstaben(&fenster), QStringList{QStringLiteral("J: &Ja / &Jetzt")});
  jetzt->hide();
  EXPECT_TRUE(DoppelteAltBuchstaben(&fenster).isEmpty());
  auto* feld = new QLineEdit(&fenster);
  auto* label = new QLabel(QStringLiteral("&Umlaut Ärger"), &fenster);
  auto* gruppe = new QGroupBox(QStringLiteral("&Ärger"), &fenster);
  EXPECT_TRUE(DoppelteAltBuchstaben(&fenster).isEmpty()) << "label without buddy";
  label->setText(QStringLiteral("&Ärger"));
  label->setBuddy(feld);
  EXPECT_EQ(DoppelteAltBuchstaben(&fenster), QStringList{QStringLiteral("Ä: &Ärger / &Ärger")});
  gruppe->setTitle(QStringLiteral("Gruppe"));
  auto* tasten = new TastenVorschau(&fenster);
  tasten->BuchstabeZuordnen(Qt::Key_J, [] {});
  EXPECT_EQ(DoppelteAltBuchstaben(&fenster), QStringList{QStringLiteral("J: &Ja / Strg/Alt+J")});
  ja->setText(QStringLiteral("Ja && Nein"));
  EXPECT_TRUE(DoppelteAltBuchstaben(&fenster).isEmpty()) << "&& is no letter";
}

}  // namespace
