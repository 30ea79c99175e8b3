#include "sepafiles/druck/Zahlungslistendaten.h"

#include "sepafiles/core/Zahlungssumme.h"

namespace {
enum Zusatz { ZusatzArt, ZusatzStatus, ZusatzBetrag, ZusatzGesamt };
}  // namespace

Zahlungslistendaten::Zahlungslistendaten(std::unique_ptr<Reportdaten> zeilen) : m_zeilen(std::move(zeilen)) {
  m_spalten = m_zeilen->Spalten();
  m_eigene = int(m_spalten.size());
  m_art = Quelle("Zahlungen", "Art");
  m_erledigt = Quelle("Zahlungen", "Erledigt");
  m_betrag = Quelle("Verwendungszweck", "ZahlungsBetrag");
  m_gesamt = Quelle("Zahlungen", "ZahlungGesamt");
  m_zeile = Quelle("Verwendungszweck", "LfdNr");
  for (Reportdatenspalte& s : m_spalten) {
    const bool ohneVorzeichen =
        (s.quellTabelle == QLatin1String("Zahlungen") && s.quellFeld == QLatin1String("ZahlungGesamt")) ||
        (s.quellTabelle == QLatin1String("Verwendungszweck") &&
         (s.quellFeld == QLatin1String("ZahlungsBetrag") || s.quellFeld == QLatin1String("OPBetrag") ||
          s.quellFeld == QLatin1String("SkontoBetrag")));
    if (ohneVorzeichen) s.summeGesperrt = SummeGesperrtGrund();
  }
  m_spalten << Reportdatenspalte{QStringLiteral("Zahlungsart"), FeldTyp::Text, {}, {}, {}}
            << Reportdatenspalte{QStringLiteral("Zahlungsstatus"), FeldTyp::Text, {}, {}, {}}
            << Reportdatenspalte{QStringLiteral("Betrag"), FeldTyp::Waehrung, {}, {}, {}}
            << Reportdatenspalte{QStringLiteral("Gesamtbetrag"), FeldTyp::Waehrung, {}, {}, {}};
}

Zahlungslistendaten::~Zahlungslistendaten() = default;

int Zahlungslistendaten::Quelle(const char* tabelle, const char* feld) const {
  for (int i = 0; i < m_eigene; ++i)
    if (m_spalten.at(i).quellTabelle == QLatin1String(tabelle) && m_spalten.at(i).quellFeld == QLatin1String(feld))
      return i;
  return -1;
}

QString Zahlungslistendaten::Zahlungsart(const QString& art) {
  return art.compare(QLatin1String("G"), Qt::CaseInsensitive) == 0 ? QStringLiteral("Überweisung")
                                                                    : QStringLiteral("Lastschrift");
}

QString Zahlungslistendaten::Zahlungsstatus(bool erledigt) {
  return erledigt ? QStringLiteral("erledigt") : QStringLiteral("offen");
}

QString Zahlungslistendaten::SummeGesperrtGrund() {
  return QStringLiteral("ein Betrag ohne Vorzeichen zählt Überweisungen und Lastschriften gleich. "
                        "Summieren Sie {Betrag} (Überweisungen negativ) oder drucken Sie {Zahlungsliste.Summe}.");
}

QVariant Zahlungslistendaten::Wert(int zeile, int spalte) {
  if (spalte < m_eigene) return m_zeilen->Wert(zeile, spalte);
  switch (spalte - m_eigene) {
    case ZusatzArt:
      return m_art < 0 ? QVariant() : QVariant(Zahlungsart(m_zeilen->Wert(zeile, m_art).toString()));
    case ZusatzStatus:
      return m_erledigt < 0 ? QVariant() : QVariant(Zahlungsstatus(m_zeilen->Wert(zeile, m_erledigt).toBool()));
    case ZusatzBetrag:
    case ZusatzGesamt: {
      // A row without a line stands for an order its file pays with ZahlungGesamt (as AuftragsSumme counts it).
      const bool ohneZeile = m_zeile >= 0 && m_zeilen->Wert(zeile, m_zeile).isNull();
      const int quelle = spalte - m_eigene == ZusatzBetrag && !ohneZeile ? m_betrag : m_gesamt;
      if (m_art < 0 || quelle < 0) return {};
      const QVariant betrag = m_zeilen->Wert(zeile, quelle);
      const std::optional<Waehrung> w =
          betrag.isNull() || !betrag.isValid() ? std::nullopt : std::optional<Waehrung>(betrag.value<Waehrung>());
      return QVariant::fromValue(VorzeichenBetrag(m_zeilen->Wert(zeile, m_art).toString(), w));
    }
  }
  return {};
}

QList<ReportVariable> ZahlungslistenVariablen(const QString& formularart, const QString& status, const Waehrung& summe,
                                              const QString& dateien, const QString& statuszeile) {
  return {{QStringLiteral("Zahlungsliste.Formularart"), formularart, Report::Typ::Text},
          {QStringLiteral("Zahlungsliste.Status"), status, Report::Typ::Text},
          {QStringLiteral("Zahlungsliste.Summe"), QVariant::fromValue(summe), Report::Typ::Zahl},
          {QStringLiteral("Zahlungsliste.Dateien"), dateien, Report::Typ::Text},
          {QStringLiteral("Zahlungsliste.Statuszeile"),
           statuszeile.isEmpty() ? QStringLiteral("Status: ") + status : statuszeile, Report::Typ::Text}};
}

QString FaelligBisText(const QDate& faelligBis) {
  return QStringLiteral("Fällig bis ") + faelligBis.toString(QStringLiteral("dd.MM.yyyy"));
}

QString ZahlungslistenGrenzen(const std::optional<QDate>& faelligBis,
                              const QList<std::pair<QString, QString>>& suchwerte) {
  QStringList grenzen;
  if (faelligBis && faelligBis->isValid()) grenzen << FaelligBisText(*faelligBis);
  for (const auto& [spalte, wert] : suchwerte)
    if (!wert.trimmed().isEmpty()) grenzen << QStringLiteral("%1: %2").arg(spalte, wert);
  if (grenzen.isEmpty()) return {};
  return QStringLiteral("Eingeschränkt: ") + grenzen.join(QStringLiteral("; "));
}
