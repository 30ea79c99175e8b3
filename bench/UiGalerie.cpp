// Gallery of the user-interface layer (not part of the program): the data grid over 100,000
// generated payments with filter bar, footers, marks, row colours and a drop-down, the record
// navigator, the toolbar with its pictures, every input field and the status line with the focus help.
//   ui-galerie [--zeilen N] [--bild datei.png]
// With --bild the gallery photographs itself in several states (datei.png, datei-kalender.png,
// datei-combo.png, datei-gross.png, datei-bearbeiten.png, datei-hilfe.png) and ends.
#include <QApplication>
#include <QCommandLineParser>
#include <QCursor>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPointer>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>
#include <utility>
#include <algorithm>
#include <memory>
#include <vector>

#include "GitterBeispieldaten.h"
#include "common/FilterBedingung.h"
#include "platform/db/Recordset.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatensatzNavigator.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/GitterDropDown.h"
#include "platform/ui/GitterFormatierung.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeFenster.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/Kalender.h"
#include "platform/ui/KontrollGruppe.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/StatusLeiste.h"
#include "platform/ui/TastenVorschau.h"
#include "platform/ui/Werkzeugleiste.h"
#include "platform/ui/ZahlFeld.h"
#include "platform/ui/ZweispaltenCombo.h"

namespace {

// Signed total of the listed payments: credit transfers count negative.
QString Summe(Datenbank& db, const Bedingung& b, bool& negativ) {
  DbFehler f;
  const auto w = db.Wert(SqlText("SELECT SUM(CASE WHEN Art = 'G' THEN -ZahlungsBetrag ELSE ZahlungsBetrag END) "
                                 "FROM Zahlungen") + b.AlsWhere(),
                         b.parameter, f);
  const qint64 roh = w && !f ? w->toLongLong() : 0;
  negativ = roh < 0;
  return GitterFormatierung::Zahl(roh, 2, true);
}

QString Tausender(int n) { return QLocale(QLocale::German, QLocale::Germany).toString(n); }

// A field with its status-line help.
template <typename T>
T* MitHilfe(T* feld, const QString& hilfe) {
  feld->setStatusTip(hilfe);
  return feld;
}

QFormLayout* Formular(QWidget* eltern) {
  auto* form = new QFormLayout(eltern);
  form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  form->setHorizontalSpacing(8);
  form->setVerticalSpacing(6);
  return form;
}

// The window and the popups open in it (drop-down list, calendar, combo list) in one picture;
// the popups are windows of their own.
// the popups are windows of their own and may stand out of the window (as on the screen).
QPixmap Foto(QWidget* fenster) {
  std::vector<QWidget*> popups;
  QRect flaeche = fenster->geometry();
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w == fenster || !w->isVisible() || w->windowType() != Qt::Popup) continue;
    popups.push_back(w);
    flaeche |= w->geometry();
  }
  QPixmap bild(flaeche.size());
  bild.fill(QColor(96, 110, 128));   // the desktop around the window
  QPainter p(&bild);
  p.drawPixmap(fenster->geometry().topLeft() - flaeche.topLeft(), fenster->grab());
  for (QWidget* w : popups) p.drawPixmap(w->geometry().topLeft() - flaeche.topLeft(), w->grab());
  return bild;
}

struct Szene {
  QString nachsatz;                 // "" = the file itself, else "-<nachsatz>" before the extension
  std::function<void()> vorbereiten;
  std::function<QWidget*()> motiv = {};  // the window to photograph; none = the gallery
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tamo-SEPA"));
  QCommandLineParser optionen;
  optionen.addOption({QStringLiteral("zeilen"), QStringLiteral("Anzahl der Zahlungen"), QStringLiteral("n"),
                      QStringLiteral("100000")});
  optionen.addOption({{QStringLiteral("bild"), QStringLiteral("bildschirmfoto")},
                      QStringLiteral("Bilder der Galerie speichern und beenden"), QStringLiteral("datei")});
  optionen.addOption({QStringLiteral("hilfe"), QStringLiteral("Ordner der Hilfeseiten"), QStringLiteral("ordner"),
                      QStringLiteral(TAMO_HILFE_ORDNER)});
  optionen.addHelpOption();
  optionen.process(app);

  DatenGitter::SetzeStandardFilterErsteller(FilterErstellerAus<FilterSpalte>(&FilterBedingungErstellen));
  auto db = GitterBeispieldaten(optionen.value(QStringLiteral("zeilen")).toInt());
  DbFehler fehler;
  Abfrage abfrage = Abfrage::Tabelle(QStringLiteral("Zahlungen"));
  abfrage.sortierung = SqlText("ZahlungNr");
  auto rs = Recordset::Oeffnen(*db, abfrage, RecordsetTyp::Dynaset, fehler);
  Abfrage op = Abfrage::Tabelle(QStringLiteral("Vorgaenge"));
  op.sortierung = SqlText("Vom DESC");
  auto opRs = Recordset::Oeffnen(*db, op, RecordsetTyp::Snapshot, fehler);
  if (!rs || !opRs) qFatal("Abfrage: %s", qUtf8Printable(fehler.Beschreibung));

  QMainWindow fenster;
  fenster.setWindowTitle(QStringLiteral("Tamo-SEPA – Galerie der Bedienelemente"));
  auto* mitte = new QWidget(&fenster);
  auto* spalten = new QVBoxLayout(mitte);
  spalten->setContentsMargins(8, 8, 8, 4);
  spalten->setSpacing(8);
  fenster.setCentralWidget(mitte);
  auto* status = new StatusLeiste(&fenster);
  fenster.setStatusBar(status);

  // --- Grid with navigator ----------------------------------------------------------------------
  auto* gitterRahmen = new QGroupBox(QStringLiteral("Zahlungen"), mitte);
  auto* gitterSpalte = new QVBoxLayout(gitterRahmen);
  gitterSpalte->setSpacing(4);
  auto* gitter = MitHilfe(new DatenGitter(gitterRahmen),
                          QStringLiteral("Leertaste oder Doppelklick markiert eine Zahlung, F4 öffnet die Vorgangsliste"));
  gitterSpalte->addWidget(gitter, 1);
  auto* unten = new QHBoxLayout;
  auto* navigator = new DatensatzNavigator(gitterRahmen);
  navigator->setMinimumWidth(320);
  unten->addWidget(navigator);
  unten->addStretch(1);
  auto* zaehler = new QLabel(gitterRahmen);
  unten->addWidget(zaehler);
  gitterSpalte->addLayout(unten);
  spalten->addWidget(gitterRahmen, 1);

  gitter->SetzeSpaltenHalten(true);
  gitter->SpalteHinzufuegen(QStringLiteral("Name"), QStringLiteral("Empfänger / Zahlungspflichtiger"));
  gitter->SpalteHinzufuegen(QStringLiteral("IBAN"));
  gitter->SpalteHinzufuegen(QStringLiteral("Verwendungszweck"));
  const int rgNr = gitter->SpalteHinzufuegen(QStringLiteral("OPVorgangNr"), QStringLiteral("Rg-Nr"));
  const int betrag = gitter->SpalteHinzufuegen(QStringLiteral("ZahlungsBetrag"), QStringLiteral("Betrag"));
  const int faellig = gitter->SpalteHinzufuegen(QStringLiteral("Faellig"), QStringLiteral("Fällig"));
  const int art = gitter->SpalteHinzufuegen(QStringLiteral("Art"));
  gitter->SetzeRecordset(rs.get());
  gitter->SetzeSpaltenformat(betrag, GitterFormat::Standard);
  gitter->SetzeSpaltenformat(faellig, GitterFormat::KurzesDatum);
  gitter->SetzeSpalteSichtbar(art, false);
  gitter->SetzeWechselndeZeilen(true);
  gitter->SetzeMarkierenPerDoppelklick(true);
  gitter->SetzeMarkierenPerLeertaste(true);
  gitter->SetzeSpaltenStrecken(true);
  gitter->SetzeZellStil([gitter](int zeile, int, ZellStil& stil) {
    const QString a = gitter->Wert(zeile, QStringLiteral("Art")).toString();
    if (a == QStringLiteral("G")) stil.vordergrund = QColor(255, 0, 0);
    else if (a == QStringLiteral("L")) stil.vordergrund = QColor(0, 0, 255);
  });
  gitter->SetzeFussleiste(true);
  gitter->SetzeFussText(gitter->SpaltenIndex(QStringLiteral("Verwendungszweck")), QStringLiteral("Summe"));
  gitter->SetzeFilterGrundlage({}, SqlText("ZahlungNr"));

  auto* liste = new GitterDropDown(&fenster);
  liste->SpalteHinzufuegen(QStringLiteral("VorgangsNr"), QStringLiteral("Vorgang"));
  liste->SpalteHinzufuegen(QStringLiteral("Art"));
  liste->SpalteHinzufuegen(QStringLiteral("Vom"), QStringLiteral("Vom"), GitterFormat::KurzesDatum);
  liste->SpalteHinzufuegen(QStringLiteral("Rest"), QStringLiteral("Rest"), GitterFormat::Standard);
  liste->SetzeRecordset(opRs.get());
  const char* const muster[] = {"Vorgang", "Art", "00.00.0000", "000.000,00"};
  for (int spalte = 0; spalte < 4; ++spalte)
    liste->SetzeSpaltenbreite(spalte, liste->fontMetrics().horizontalAdvance(QString::fromLatin1(muster[spalte])) + 16);
  liste->SetzeListenfeld(QStringLiteral("VorgangsNr"));
  liste->SetzeSichtbareZeilen(liste->ZeilenAnzahl() < 12 ? liste->ZeilenAnzahl() + 1.8 : 12);
  gitter->SetzeDropDown(rgNr, liste);

  QObject::connect(navigator, &DatensatzNavigator::Bewegen, gitter, [gitter](NavigatorBereich b) {
    const int n = gitter->ZeilenAnzahl();
    if (n == 0) return;
    const int seite = std::max(1, gitter->Ansicht()->viewport()->height() /
                                      std::max(1, gitter->Ansicht()->rowHeight(0)));
    int z = std::max(0, gitter->AktuelleZeile());
    switch (b) {
      case NavigatorBereich::Erster: z = 0; break;
      case NavigatorBereich::SeiteZurueck: z -= seite; break;
      case NavigatorBereich::Vorheriger: --z; break;
      case NavigatorBereich::Naechster: ++z; break;
      case NavigatorBereich::SeiteVor: z += seite; break;
      case NavigatorBereich::Letzter: z = n - 1; break;
      case NavigatorBereich::Beschriftung: return;
    }
    gitter->SetzeAktuelleZelle(std::clamp(z, 0, n - 1), std::max(0, gitter->AktuelleSpalte()));
  });

  const auto anzeigen = [&, gitter] {
    bool negativ = false;
    gitter->SetzeFussText(betrag, Summe(*db, rs->AbfrageTeile().bedingung, negativ));
    gitter->SetzeFussFarbe(betrag, negativ ? QColor(255, 0, 0) : fenster.palette().color(QPalette::ButtonText));
    zaehler->setText(QStringLiteral("%1 Zahlungen, %2 markiert")
                         .arg(Tausender(gitter->ZeilenAnzahl()), Tausender(gitter->MarkenAnzahl())));
  };
  QObject::connect(gitter, &DatenGitter::MarkenGeaendert, &fenster, anzeigen);
  QObject::connect(gitter, &DatenGitter::FilterAngewendet, &fenster, anzeigen);
  QObject::connect(gitter, &DatenGitter::AbfrageFehlgeschlagen, &fenster, [status](const DbFehler& f) {
    status->TextSetzen(QStringLiteral("Fehler bei der Datenermittlung! ") + f.Beschreibung);
  });
  QObject::connect(gitter, &DatenGitter::ZeileSpalteGewechselt, &fenster, [gitter, status] {
    if (gitter->ImFilter() && gitter->AktuelleSpalte() >= 0)
      status->TextSetzen(QStringLiteral("Eingabe Suchbegriff für: ") + gitter->Spalte(gitter->AktuelleSpalte()).titel);
  });

  // --- Fields -------------------------------------------------------------------------------------
  auto* felder = new QHBoxLayout;
  felder->setSpacing(8);
  spalten->addLayout(felder);

  auto* bank = new QGroupBox(QStringLiteral("Bankverbindung"), mitte);
  QFormLayout* bankForm = Formular(bank);
  auto* name = MitHilfe(new MaskenFeld(bank), QStringLiteral("Name des Kontoinhabers (höchstens 70 Zeichen)"));
  name->MaxLaengeSetzen(70);
  name->WertSetzen(QStringLiteral("Müller & Söhne KG"));
  auto* bic = MitHilfe(new MaskenFeld(bank), QStringLiteral("BIC der Bank, 8 oder 11 Zeichen (nur A–Z und 0–9)"));
  bic->ZeichenklasseSetzen(Zeichenklasse::GrossbuchstabenZiffern);
  bic->MaxLaengeSetzen(11);
  bic->WertSetzen(QStringLiteral("cobadeffxxx"));
  auto* iban = MitHilfe(new MaskenFeld(bank), QStringLiteral("IBAN des Kontos; wird in Blöcken zu vier Zeichen angezeigt"));
  iban->IbanBlockSetzen(true);
  iban->MaxLaengeSetzen(34);
  iban->WertSetzen(QStringLiteral("de89 3704 0044 0532 0130 00"));
  auto* zweck = MitHilfe(new ZweispaltenCombo(bank), QStringLiteral("Zweck der Zahlung (Code eingeben oder mit F4 auswählen)"));
  zweck->UeberschriftenSetzen(QStringLiteral("Code"), QStringLiteral("Bedeutung"));
  zweck->ZeilenSetzen({{QStringLiteral("OTHR"), QStringLiteral("Sonstige")},
                       {QStringLiteral("SALA"), QStringLiteral("Gehalt")},
                       {QStringLiteral("RINP"), QStringLiteral("Dauerauftrag")},
                       {QStringLiteral("SUPP"), QStringLiteral("Lieferantenzahlung")},
                       {QStringLiteral("TAXS"), QStringLiteral("Steuerzahlung")},
                       {QStringLiteral("GOVT"), QStringLiteral("Zahlung an öffentliche Kassen")}});
  zweck->CodeSetzen(QStringLiteral("SUPP"));
  auto* zweckText = new QLabel(zweck->Bedeutung(), bank);
  zweckText->setMinimumWidth(zweckText->fontMetrics().horizontalAdvance(QStringLiteral("Zahlung an öffentliche Kassen")));
  QObject::connect(zweck, &ZweispaltenCombo::Getippt, zweckText, [zweck, zweckText] { zweckText->setText(zweck->Bedeutung()); });
  auto* zweckZeile = new QHBoxLayout;
  zweck->setMinimumContentsLength(6);
  zweckZeile->addWidget(zweck);
  zweckZeile->addWidget(zweckText, 1);
  bankForm->addRow(QStringLiteral("&Name:"), name);
  bankForm->addRow(QStringLiteral("&BIC:"), bic);
  bankForm->addRow(QStringLiteral("&IBAN:"), iban);
  auto* zweckBeschriftung = new QLabel(QStringLiteral("&Zweck:"), bank);
  zweckBeschriftung->setBuddy(zweck);
  bankForm->addRow(zweckBeschriftung, zweckZeile);
  felder->addWidget(bank, 3);

  auto* betraege = new QGroupBox(QStringLiteral("Beträge und Termine"), mitte);
  QFormLayout* betragForm = Formular(betraege);
  auto* betragFeld = MitHilfe(new ZahlFeld(betraege), QStringLiteral("Betrag in Euro"));
  betragFeld->WertSetzen(Waehrung::AusCent(123456));
  auto* differenz = MitHilfe(new ZahlFeld(betraege), QStringLiteral("Differenz zum offenen Posten; negativ in Rot"));
  differenz->NegativFarbeSetzen(QColor(255, 0, 0));
  differenz->WertSetzen(Waehrung::AusCent(-25050));
  auto* frist = MitHilfe(new ZahlFeld(betraege), QStringLiteral("Zahlungsziel in Tagen (0 = kein Ausdruck)"));
  frist->GanzzahlSetzen(true);
  frist->BereichSetzen(0, 365);
  frist->AnzeigeFormatSetzen(ZahlFormat{0, true, QStringLiteral(" Tage"), QStringLiteral("Kein Ausdruck"), {}});
  frist->PfeileSetzen(true);
  frist->GanzzahlWertSetzen(14);
  auto* datum = MitHilfe(new DatumFeld(betraege), QStringLiteral("Ausführungsdatum (TT.MM.JJJJ); F4 öffnet den Kalender, + und - blättern"));
  datum->MinimumSetzen(QDate(2024, 1, 1));
  datum->MaximumSetzen(QDate(2025, 12, 31));
  datum->WertSetzen(QDate(2024, 3, 15));
  betragForm->addRow(QStringLiteral("Be&trag:"), betragFeld);
  betragForm->addRow(QStringLiteral("&Differenz:"), differenz);
  betragForm->addRow(QStringLiteral("Zahlungs&ziel:"), frist);
  betragForm->addRow(QStringLiteral("&Ausführung am:"), datum);
  felder->addWidget(betraege, 2);

  auto* kalenderRahmen = new QGroupBox(QStringLiteral("Kalender"), mitte);
  auto* kalenderSpalte = new QVBoxLayout(kalenderRahmen);
  auto* kalender = new Kalender(2, kalenderRahmen);
  kalender->setStatusTip(QStringLiteral("Ausführungsdatum wählen; die Pfeile blättern alle Monate gemeinsam"));
  kalender->DatumSetzen(QDate(2024, 3, 15));
  kalender->MonatAnzeigen(2024, 3);
  kalenderSpalte->addWidget(kalender);
  QObject::connect(kalender, &Kalender::Gewaehlt, datum, [datum](const QDate& d) { datum->WertSetzen(d); });
  QObject::connect(datum, &DatumFeld::Getippt, kalender, [datum, kalender] {
    if (const auto d = datum->Wert()) kalender->DatumSetzen(*d);
  });
  felder->addWidget(kalenderRahmen, 0);

  auto* auswahl = new QWidget(mitte);
  auto* auswahlSpalte = new QVBoxLayout(auswahl);
  auswahlSpalte->setContentsMargins(0, 0, 0, 0);
  auto* zahlungsart = new OptionsGruppe(QStringLiteral("Zahlungsart"),
                                        {QStringLiteral("&Überweisungen"), QStringLiteral("&Lastschriften"),
                                         QStringLiteral("&Alle Zahlungen")},
                                        auswahl);
  zahlungsart->setStatusTip(QStringLiteral("Welche Zahlungen die Liste zeigt"));
  zahlungsart->WertSetzen(2);
  auto* ausgabe = new KontrollGruppe(auswahl);
  ausgabe->setTitle(QStringLiteral("Ausgabe"));
  ausgabe->setStatusTip(QStringLiteral("Was beim Erstellen der SEPA-Datei zusätzlich geschieht"));
  ausgabe->KastenHinzufuegen(QStringLiteral("Sa&mmelbuchung"));
  ausgabe->KastenHinzufuegen(QStringLiteral("Begleitzettel &drucken"));
  ausgabe->KastenHinzufuegen(QStringLiteral("Datei &sichern"));
  ausgabe->WertSetzen(0, true);
  ausgabe->WertSetzen(2, true);
  auswahlSpalte->addWidget(zahlungsart);
  auswahlSpalte->addWidget(ausgabe);
  auswahlSpalte->addStretch(1);
  felder->addWidget(auswahl, 0);

  QObject::connect(zahlungsart, &OptionsGruppe::Geklickt, gitter, [gitter](int index) {
    // The option narrows the list as the windows' option buttons do: a base condition for the filter.
    Bedingung grund;
    if (index == 0) grund = Bedingung(SqlText("Art = ?"), {QStringLiteral("G")});
    else if (index == 1) grund = Bedingung(SqlText("Art = ?"), {QStringLiteral("L")});
    gitter->SetzeFilterGrundlage(grund, SqlText("ZahlungNr"));
    gitter->FilterAnwenden();
  });

  // --- Toolbar and keys -------------------------------------------------------------------------
  auto* leiste = new Werkzeugleiste(&fenster);
  fenster.addToolBar(leiste);
  leiste->KnopfHinzufuegen(QStringLiteral("Neu"), QStringLiteral("&Neu"), QStringLiteral("Neu"),
                           QStringLiteral("Neue Zahlung erfassen (Strg+N)"));
  leiste->KnopfHinzufuegen(QStringLiteral("Ändern"), QStringLiteral("Ä&ndern"), QStringLiteral("Ändern"),
                           QStringLiteral("Zellen im Gitter bearbeiten (Strg+E)"));
  leiste->KnopfHinzufuegen(QStringLiteral("Löschen"), QStringLiteral("&Löschen"), QStringLiteral("Löschen"),
                           QStringLiteral("Zahlung löschen (Strg+L)"));
  leiste->TrennerHinzufuegen();
  leiste->KnopfHinzufuegen(QStringLiteral("Suchen"), QStringLiteral("&Suchen"), QStringLiteral("Suchen"),
                           QStringLiteral("Suchzeile ein- und ausschalten (Strg+S)"));
  leiste->KnopfHinzufuegen(QStringLiteral("Markieren"), QStringLiteral("&Alle markieren"),
                           QStringLiteral("Zahlungsliste"), QStringLiteral("Alle gelisteten Zahlungen markieren (Strg+A)"));
  leiste->KnopfHinzufuegen(QStringLiteral("Aufheben"), QStringLiteral("Markierung a&ufheben"),
                           QStringLiteral("Selektivlöschen"), QStringLiteral("Alle Markierungen aufheben (Strg+U)"));
  leiste->TrennerHinzufuegen();
  leiste->KnopfHinzufuegen(QStringLiteral("Prüfen"), QStringLiteral("&Prüfen"), QStringLiteral("Prüfen"),
                           QStringLiteral("Markierte Zahlungen prüfen (Strg+P)"));
  leiste->KnopfHinzufuegen(QStringLiteral("DTADatei"), QStringLiteral("SEPA-&Datei"), QStringLiteral("DTADatei"),
                           QStringLiteral("SEPA-Datei erstellen (Strg+D)"));
  leiste->KnopfHinzufuegen(QStringLiteral("Drucken"), QStringLiteral("Drucken"), QStringLiteral("Drucken"),
                           QStringLiteral("Zahlungsliste drucken"));
  leiste->TrennerHinzufuegen();
  leiste->KnopfHinzufuegen(QStringLiteral("Schliessen"), QStringLiteral("S&chließen"), QStringLiteral("Schliessen"),
                           QStringLiteral("Fenster schließen (Strg+C)"));
  leiste->AktiviertSetzen(QStringLiteral("Löschen"), false);
  leiste->AktiviertSetzen(QStringLiteral("Drucken"), false);
  leiste->HandlerSetzen([&, gitter, leiste, status](const QString& knopf) {
    if (knopf == QStringLiteral("Suchen")) {
      const bool an = !gitter->Filterleiste();
      leiste->GedruecktSetzen(knopf, an);
      gitter->FilterTexteLeeren();
      gitter->SetzeFilterleiste(an);
      gitter->FilterAnwenden();
      gitter->SetzeMarkierungsstil(an ? DatenGitter::Markierungsstil::SchwebenderEditor
                                      : DatenGitter::Markierungsstil::ZeileHervorgehoben);
      if (an) gitter->FilterZelleBearbeiten(0);
    } else if (knopf == QStringLiteral("Ändern")) {
      const bool an = !gitter->ZulassenAendern();
      leiste->GedruecktSetzen(knopf, an);
      gitter->SetzeZulassenAendern(an);
      gitter->SetzeMarkierungsstil(an ? DatenGitter::Markierungsstil::SchwebenderEditor
                                      : DatenGitter::Markierungsstil::ZeileHervorgehoben);
    } else if (knopf == QStringLiteral("Markieren")) {
      gitter->AlleMarkieren();
    } else if (knopf == QStringLiteral("Aufheben")) {
      gitter->MarkenLeeren();
    } else if (knopf == QStringLiteral("Schliessen")) {
      fenster.close();
    } else {
      status->TextSetzen(QStringLiteral("„%1“ ist in der Galerie ohne Funktion.")
                             .arg(Werkzeugleiste::OhneKuerzel(leiste->Beschriftung(knopf))));
    }
  });
  auto* tasten = new TastenVorschau(&fenster);
  tasten->BuchstabeZuordnen(Qt::Key_N, leiste, QStringLiteral("Neu"));
  tasten->BuchstabeZuordnen(Qt::Key_E, leiste, QStringLiteral("Ändern"));
  tasten->BuchstabeZuordnen(Qt::Key_L, leiste, QStringLiteral("Löschen"));
  tasten->BuchstabeZuordnen(Qt::Key_S, leiste, QStringLiteral("Suchen"));
  tasten->BuchstabeZuordnen(Qt::Key_A, leiste, QStringLiteral("Markieren"));
  tasten->BuchstabeZuordnen(Qt::Key_U, leiste, QStringLiteral("Aufheben"));
  tasten->BuchstabeZuordnen(Qt::Key_P, leiste, QStringLiteral("Prüfen"));
  tasten->BuchstabeZuordnen(Qt::Key_D, leiste, QStringLiteral("DTADatei"));
  tasten->BuchstabeZuordnen(Qt::Key_C, leiste, QStringLiteral("Schliessen"));
  tasten->TasteZuordnen(Qt::Key_F3, Qt::NoModifier, [leiste] { return leiste->Druecken(QStringLiteral("Suchen")); });
  const QString hilfeOrdner = optionen.value(QStringLiteral("hilfe"));
  tasten->HilfeSetzen([&fenster, hilfeOrdner] { HilfeAnzeigen(HilfeKontext::Zahlungen, hilfeOrdner, &fenster); });
  tasten->EnterAlsTabSetzen(true);
  tasten->EnterAusnahme(gitter);

  fenster.resize(1360, 860);
  fenster.show();
  fenster.activateWindow();   // without a window manager (Xvfb) nobody else does it: no focus otherwise
  gitter->SpaltenProzenteAnwenden({27.f, 21.f, 25.f, 8.f, 10.f, 9.f});
  anzeigen();
  status->TextSetzen(QStringLiteral("Bereit"));

  const QString foto = optionen.value(QStringLiteral("bild"));
  if (foto.isEmpty()) return QApplication::exec();

  // --- Photographs ------------------------------------------------------------------------------
  const QFileInfo info(foto);
  const auto dateiname = [&info](const QString& nachsatz) {
    if (nachsatz.isEmpty()) return info.filePath();
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('-') + nachsatz +
           QLatin1Char('.') + info.suffix();
  };
  std::vector<Szene> szenen;
  szenen.push_back({QString(), [&, gitter] {
                      leiste->Druecken(QStringLiteral("Suchen"));
                      gitter->SetzeFilterText(0, QStringLiteral("mü"));
                      gitter->FilterAnwenden();
                      for (int z : {5, 1, 7}) gitter->MarkeSetzen(z);
                      gitter->SetzeAktuelleZelle(2, rgNr);
                      gitter->Ansicht()->setFocus();
                      gitter->DropDownOeffnen();
                    }});
  szenen.push_back({QStringLiteral("kalender"), [&, gitter, datum] {
                      gitter->DropDownSchliessen();
                      datum->setFocus();
                      datum->AufklappenOeffnen();
                    }});
  szenen.push_back({QStringLiteral("combo"), [&, datum, zweck] {
                      datum->AufklappenSchliessen();
                      zweck->setFocus();
                      zweck->AufklappenOeffnen();
                    }});
  szenen.push_back({QStringLiteral("gross"), [&, zweck, iban] {
                      zweck->AufklappenSchliessen();
                      leiste->DarstellungSetzen(false, false);
                      iban->setFocus();
                      iban->CaretSetzen(int(iban->text().size()));
                    }});

  szenen.push_back({QStringLiteral("bearbeiten"), [&, gitter, bic] {
                      leiste->DarstellungSetzen(true, false);
                      leiste->Druecken(QStringLiteral("Suchen"));   // search off: all payments again
                      bic->WertSetzen(QStringLiteral("COBADEF1"));
                      bic->GueltigkeitAnzeigen(false);
                      leiste->Druecken(QStringLiteral("Ändern"));
                      gitter->SetzeAktuelleZelle(1, betrag);
                      gitter->Ansicht()->setFocus();
                      gitter->ZelleBearbeiten();
                    }});

  szenen.push_back({QStringLiteral("hilfe"),
                    [&, gitter] {
                      gitter->Ansicht()->setFocus();
                      QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
                      QApplication::sendEvent(gitter->Ansicht(), &f1);
                    },
                    [&] { return static_cast<QWidget*>(HilfeFenster::Instanz(hilfeOrdner)); }});

  // One state after the other, each photographed once the event loop has painted it.
  std::function<void(std::size_t)> schritt = [&](std::size_t i) {
    if (i == szenen.size()) {
      QApplication::quit();
      return;
    }
    szenen[i].vorbereiten();
    QTimer::singleShot(400, &fenster, [&, i] {
      const QString datei = dateiname(szenen[i].nachsatz);
      QWidget* motiv = szenen[i].motiv ? szenen[i].motiv() : &fenster;
      if (!Foto(motiv).save(datei)) qWarning("Bild nicht gespeichert: %s", qUtf8Printable(datei));
      schritt(i + 1);
    });
  };
  // The pointer away from the controls: a status tip under it would cover the focus help.
  QCursor::setPos(fenster.geometry().bottomRight() - QPoint(4, 4));
  QTimer::singleShot(300, &fenster, [&] { schritt(0); });
  return QApplication::exec();
}
