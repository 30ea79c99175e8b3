#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTableView>

#include <functional>
#include <memory>

#include "../masterdata/Stammdatenumgebung.h"
#include "masterdata/AdressenEingabe.h"
#include "masterdata/SuchlisteF4.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/HilfeKontext.h"
#include "shell/Rechner.h"
#include "testsupport/Hilfeseite.h"

namespace {

class HilfeTasteTest : public ::testing::Test {
 protected:
  void SetUp() override { m_umgebung.Oeffnen(m_umgebung.Datenordner(QStringLiteral("daten"))); }
  Stammdatenumgebung m_umgebung;
};

// F1 did nothing in the calculator, the search list and "Neue Adresse": each opens its page, from the
// field the user is in.
TEST_F(HilfeTasteTest, F1OeffnetDieSeiteDesFensters) {
  struct Fall {
    const char* name;
    std::function<QWidget*(std::unique_ptr<QWidget>&)> fokus;   // makes the window, returns the field
    const char* seite;
  };
  const Fall faelle[] = {
      {"RechnerAusdruck",
       [](std::unique_ptr<QWidget>& w) {
         w = std::make_unique<Rechner>();
         return w->findChild<QWidget*>(QStringLiteral("Ausdruck"));
       },
       "410.html"},
      {"SuchlisteSuchfeld",
       [](std::unique_ptr<QWidget>& w) {
         auto* s = new SuchlisteF4;
         w.reset(s);
         EXPECT_TRUE(s->Daten(QFont(), true, {}, {}, 2));
         return s->findChild<QWidget*>(QStringLiteral("Suchfeld"));
       },
       "320.html"},
      {"SuchlisteGitter",
       [](std::unique_ptr<QWidget>& w) {
         auto* s = new SuchlisteF4;
         w.reset(s);
         EXPECT_TRUE(s->Daten(QFont(), true, {}, {}, 1));
         return static_cast<QWidget*>(s->findChild<DatenGitter*>()->Ansicht());
       },
       "320.html"},
      {"NeueAdresse",
       [](std::unique_ptr<QWidget>& w) {
         w = std::make_unique<AdressenEingabe>(AdressenEingabe::Art::Adresse, true);
         return w->focusWidget();   // the first field, where the dialog opens
       },
       "300.html"},
      {"NeueBankverbindung",
       [](std::unique_ptr<QWidget>& w) {
         w = std::make_unique<AdressenEingabe>(AdressenEingabe::Art::Bank, true);
         return w->focusWidget();   // the first field, where the dialog opens
       },
       "300.html"},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    std::unique_ptr<QWidget> fenster;
    QWidget* feld = f.fokus(fenster);
    ASSERT_NE(feld, nullptr);
    EXPECT_EQ(HilfeseiteNachF1(feld), QString::fromUtf8(f.seite));
  }
}

// Every context number a window passes has its page in the shipped help.
TEST_F(HilfeTasteTest, JederKontextHatSeineSeite) {
  const int kontexte[] = {HilfeKontext::Zahlungen, HilfeKontext::FaelligAbfrage, HilfeKontext::Skonto,
                          HilfeKontext::SepaDatei, HilfeKontext::Zahlungsliste,  HilfeKontext::Selektiv,
                          HilfeKontext::Adressen,  HilfeKontext::Absender,       HilfeKontext::Suchliste,
                          HilfeKontext::Einstellungen, HilfeKontext::Rechner,    HilfeKontext::Import,
                          HilfeKontext::Drucken,   HilfeKontext::Designer};
  const QDir hilfe(QStringLiteral(TAMO_SOURCE_DIR "/resources/help"));
  for (int k : kontexte) EXPECT_TRUE(QFileInfo(hilfe.filePath(QStringLiteral("%1.html").arg(k))).isFile()) << k;
}

}  // namespace
