#include "shell/Arbeitsfenster.h"

#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "import/ImportForm.h"
#include "masterdata/AdressenImport.h"
#include "masterdata/FormAdressen.h"
#include "masterdata/FormularAbsender.h"
#include "masterdata/SuchlisteF4.h"
#include "payments/FaelligAbfrage.h"
#include "payments/FormularZahlung.h"
#include "sepafiles/FormularDTADisk.h"
#include "sepafiles/FormularSelektiv.h"
#include "sepafiles/Zahlungsliste.h"
#include "shell/Optionen.h"
#include "shell/Rechner.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "shell/ZOVA10.h"

void ArbeitsfensterAnmelden(ZOVA10& hauptfenster) {
  ZOVA10* haupt = &hauptfenster;
  // "Import" of the address window: take-over from Tamo-Varix with the IBAN conversion.
  AdressenImport::Anmelden();

  hauptfenster.FensterartSetzen(
      Hauptbefehl::Adressen,
      {QStringLiteral("FormAdressen/Adressen"), Fensteroeffnung::Nichtmodal,
       [](QWidget* eltern) -> QWidget* { return new FormAdressen(FormAdressen::Modus::Adressen, eltern); }});
  hauptfenster.FensterartSetzen(
      Hauptbefehl::Bankverbindungen,
      {QStringLiteral("FormAdressen/Bankverbindungen"), Fensteroeffnung::Nichtmodal,
       [](QWidget* eltern) -> QWidget* { return new FormAdressen(FormAdressen::Modus::Bankverbindungen, eltern); }});
  hauptfenster.FensterartSetzen(
      Hauptbefehl::Absender,
      {QStringLiteral("FormularAbsender"), Fensteroeffnung::ModalAllein, [haupt](QWidget* eltern) -> QWidget* {
         auto* form = new FormularAbsender(eltern);
         // Activating a sender reopens the database: the main window shows the new sender.
         QObject::connect(form, &FormularAbsender::AbsenderAktiviert, haupt, &ZOVA10::Aktualisieren);
         return form;
       }});
  // The SEPA window names a missing sender value and opens the form on it.
  FormularDTADisk::AbsenderFormularSetzen([haupt](QWidget* eltern, const QString& feld) {
    FormularAbsender form(eltern);
    QObject::connect(&form, &FormularAbsender::AbsenderAktiviert, haupt, &ZOVA10::Aktualisieren);
    form.Auswaehlen(Zustand().AktuelleAbsenderNr());
    if (feld == QStringLiteral("IBAN")) form.FeldFokussieren(Absenderpruefung::Feld::Iban);
    else if (feld == QStringLiteral("BIC")) form.FeldFokussieren(Absenderpruefung::Feld::Bic);
    else if (feld == QStringLiteral("GläubigerID")) form.FeldFokussieren(Absenderpruefung::Feld::GlaeubigerId);
    else form.FeldFokussieren(Absenderpruefung::Feld::Name);
    form.exec();
    haupt->Aktualisieren();
  });
  hauptfenster.FensterartSetzen(
      Hauptbefehl::Einstellungen,
      {QStringLiteral("Optionen"), Fensteroeffnung::Modal, [haupt](QWidget* eltern) -> QWidget* {
         auto* dialog = new Optionen(eltern);
         dialog->AndereFensterSchliessenSetzen(
             [haupt, dialog] { return haupt->Fenster().AlleAnderenSchliessen(dialog, dialog); });
         dialog->NachSpeichernSetzen([haupt] { haupt->Aktualisieren(); });
         return dialog;
       }});
  hauptfenster.FensterartSetzen(
      Hauptbefehl::ZahlungenErfassen,
      {QStringLiteral("FormularZahlung"), Fensteroeffnung::Nichtmodal, [haupt](QWidget* eltern) -> QWidget* {
         QWidget* form = FormularZahlungErzeugen(eltern);
         if (auto* zahlung = qobject_cast<FormularZahlung*>(form)) {
           QObject::connect(zahlung, &FormularZahlung::RechnerAngefordert, haupt,
                            [haupt] { haupt->Ausfuehren(Hauptbefehl::Rechner); });
           // F4: master data's search list, modal over the form.
           zahlung->SuchlisteSetzen([zahlung](int modus, const Bedingung& filter, const Suchkriterium& kriterium,
                                              bool suchfeld, QVariantList& werte) {
             return SuchlisteF4::Auswaehlen(zahlung, zahlung->font(), modus, filter, kriterium, suchfeld, werte);
           });
           // "Import": the open-item import, modal over the form.
           zahlung->ImportAufrufSetzen([zahlung](Zahlart zahlart, const QFont& schrift) {
             ImportForm fenster(ImportAufruf{zahlart, schrift}, zahlung);
             fenster.exec();
           });
         }
         return form;
       }});
  hauptfenster.FensterartSetzen(
      Hauptbefehl::SepaDatei,
      {QStringLiteral("FormularDTADisk"), Fensteroeffnung::ModalAllein,
       [](QWidget* eltern) -> QWidget* { return FormularDTADiskErzeugen(eltern); }});
  hauptfenster.FensterartSetzen(
      Hauptbefehl::Zahlungsliste,
      {QStringLiteral("Zahlungsliste"), Fensteroeffnung::Nichtmodal,
       [](QWidget* eltern) -> QWidget* {
         QWidget* fenster = ZahlungslisteErzeugen(eltern);
         // F6: the payment form's due-date dialog.
         if (auto* liste = qobject_cast<Zahlungsliste*>(fenster))
           liste->FaelligAbfrageSetzen([liste](const std::optional<QDate>& faelligBis) {
             return FaelligAbfrage::Abfragen(liste, liste->font(), faelligBis, Uhr::Heute());
           });
         return fenster;
       }});
  hauptfenster.FensterartSetzen(
      Hauptbefehl::Selektivloeschen,
      {QStringLiteral("FormularSelektiv"), Fensteroeffnung::ModalAllein,
       [](QWidget* eltern) -> QWidget* { return FormularSelektivErzeugen(eltern); }});
  hauptfenster.FensterartSetzen(
      Hauptbefehl::Rechner, {QStringLiteral("Rechner"), Fensteroeffnung::Nichtmodal,
                             [](QWidget* eltern) -> QWidget* { return new Rechner(eltern); }});
  hauptfenster.BefehlSetzen(Hauptbefehl::Hilfe, [haupt] {
    HilfeAnzeigen(0, Zustand().HilfeOrdner(), haupt);
  });
}
