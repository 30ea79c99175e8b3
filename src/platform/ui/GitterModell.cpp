#include "platform/ui/GitterModell.h"

#include <QBrush>
#include <QFont>

#include "platform/ui/GitterFormatierung.h"

namespace {
bool IstZahlTyp(FeldTyp t) {
  return t == FeldTyp::Integer || t == FeldTyp::Long || t == FeldTyp::Waehrung || t == FeldTyp::Double;
}
}  // namespace

GitterModell::GitterModell(QObject* parent) : RecordsetModell(parent) {}

void GitterModell::SpalteAufloesen(GitterSpalte& s) const {
  Recordset* rs = Daten();
  s.rsSpalte = rs ? rs->SpaltenIndex(s.feld) : -1;
  if (s.rsSpalte >= 0) {
    const bool ersteBindung = s.typ == FeldTyp::Unbekannt;
    s.typ = rs->Spalte(s.rsSpalte).typ;
    if (s.datenBreite == 0) s.datenBreite = rs->Spalte(s.rsSpalte).groesse;
    // A column designed before any recordset was bound learns its type only now: numbers get the
    // number editor and stand right, dates get the date editor. An editor or alignment chosen
    // explicitly stays; only the defaults (text editor, left) are replaced.
    if (ersteBindung && s.editor == GitterEditor::Text) {
      if (IstZahlTyp(s.typ)) s.editor = GitterEditor::Zahl;
      else if (s.typ == FeldTyp::Datum) s.editor = GitterEditor::Datum;
    }
    if (ersteBindung && IstZahlTyp(s.typ) && s.ausrichtung == (Qt::AlignLeft | Qt::AlignVCenter))
      s.ausrichtung = Qt::AlignRight | Qt::AlignVCenter;
  }
}

void GitterModell::Binden(Recordset* rs, bool spaltenHalten) {
  // The base resets on its own; our rows are empty meanwhile, so no view reads a stale row.
  m_ausstehend = -1;
  m_leer = true;
  RecordsetModell::SetzeRecordset(rs);
  beginResetModel();
  m_leer = false;
  m_zeilen = rs ? rs->RecordCount() : 0;
  if (!spaltenHalten) {
    m_spalten.clear();
    if (rs) {
      for (int i = 0; i < rs->SpaltenAnzahl(); ++i) {
        GitterSpalte s;
        s.feld = rs->Spalte(i).name;
        s.titel = rs->Spalte(i).name;
        m_spalten.push_back(s);
      }
    }
  }
  for (auto& s : m_spalten) {
    SpalteAufloesen(s);
    if (spaltenHalten) continue;
    if (IstZahlTyp(s.typ)) {
      s.ausrichtung = Qt::AlignRight | Qt::AlignVCenter;
      s.editor = GitterEditor::Zahl;
    } else if (s.typ == FeldTyp::Datum) {
      s.editor = GitterEditor::Datum;
    }
  }
  endResetModel();
}

void GitterModell::SpaltenGeaendert() {
  beginResetModel();
  for (auto& s : m_spalten) SpalteAufloesen(s);
  endResetModel();
}

int GitterModell::SpalteVonFeld(const QString& feld) const {
  for (int i = 0; i < static_cast<int>(m_spalten.size()); ++i)
    if (m_spalten[i].feld.compare(feld, Qt::CaseInsensitive) == 0) return i;
  // "Tabelle.Feld" asked, column bound to "Feld" (or the reverse)
  const QString kurz = feld.section(QLatin1Char('.'), -1);
  for (int i = 0; i < static_cast<int>(m_spalten.size()); ++i)
    if (m_spalten[i].feld.section(QLatin1Char('.'), -1).compare(kurz, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

void GitterModell::Neu() {
  beginResetModel();
  m_leer = false;
  m_ausstehend = -1;
  Recordset* rs = Daten();
  m_zeilen = rs ? rs->RecordCount() : 0;
  endResetModel();
}

DbFehler GitterModell::ZeileNeu(int zeile) {
  Recordset* rs = Daten();
  if (!rs || m_leer || zeile < 0 || zeile >= m_zeilen) return {};
  const DbFehler f = rs->ZeileNeuLesen(zeile);
  Q_EMIT dataChanged(index(zeile, 0), index(zeile, std::max(0, columnCount() - 1)));
  return f;
}

void GitterModell::LeerZeigen() {
  beginResetModel();
  m_leer = true;
  m_ausstehend = -1;
  endResetModel();
}

void GitterModell::SetzeNeueZeileZeigen(bool an) {
  if (an == m_neueZeile) return;
  const int z = DatenZeilen();
  if (an) {
    beginInsertRows({}, z, z);
    m_neueZeile = true;
    endInsertRows();
  } else {
    beginRemoveRows({}, z, z);
    m_neueZeile = false;
    endRemoveRows();
  }
}

void GitterModell::SetzeAusstehend(int zeile) {
  const int alt = m_ausstehend;
  m_ausstehend = zeile;
  if (alt >= 0 && alt < rowCount()) {
    Q_EMIT dataChanged(index(alt, 0), index(alt, columnCount() - 1));
    Q_EMIT headerDataChanged(Qt::Vertical, alt, alt);
  }
  if (zeile >= 0 && zeile < rowCount()) {
    Q_EMIT dataChanged(index(zeile, 0), index(zeile, columnCount() - 1));
    Q_EMIT headerDataChanged(Qt::Vertical, zeile, zeile);
  }
}

QVariant GitterModell::Rohwert(int zeile, int spalte) const {
  Recordset* rs = Daten();
  if (!rs || spalte < 0 || spalte >= static_cast<int>(m_spalten.size())) return {};
  const int rsSpalte = m_spalten[spalte].rsSpalte;
  if (rsSpalte < 0) return {};
  if (zeile == m_ausstehend && rs->EditMode() != EditModus::Keiner) return rs->Feld(rsSpalte);
  if (zeile < 0 || zeile >= DatenZeilen()) return {};
  return rs->WertAn(zeile, rsSpalte);
}

QVariant GitterModell::Feldwert(int zeile, const QString& feld) const {
  Recordset* rs = Daten();
  if (!rs) return {};
  const int rsSpalte = rs->SpaltenIndex(feld);
  if (rsSpalte < 0) return {};
  if (zeile == m_ausstehend && rs->EditMode() != EditModus::Keiner) return rs->Feld(rsSpalte);
  if (zeile < 0 || zeile >= DatenZeilen()) return {};
  return rs->WertAn(zeile, rsSpalte);
}

QString GitterModell::Text(int zeile, int spalte) const {
  if (spalte < 0 || spalte >= static_cast<int>(m_spalten.size())) return {};
  const GitterSpalte& s = m_spalten[spalte];
  return GitterFormatierung::Anzeige(Rohwert(zeile, spalte), s.typ, s.format, s.muster);
}

QVariant GitterModell::Schluessel(int zeile) const {
  Recordset* rs = Daten();
  if (!rs || zeile < 0 || zeile >= DatenZeilen()) return {};
  return rs->SchluesselAn(zeile);
}

void GitterModell::ZeileAktualisiert(int zeile) {
  if (zeile < 0 || zeile >= rowCount()) return;
  Q_EMIT dataChanged(index(zeile, 0), index(zeile, columnCount() - 1));
  Q_EMIT headerDataChanged(Qt::Vertical, zeile, zeile);
}

void GitterModell::NeueZeileUebernommen() {
  Recordset* rs = Daten();
  const int neu = rs ? rs->RecordCount() : 0;
  if (neu != m_zeilen + 1 || m_leer) {
    Neu();
    return;
  }
  // The add-new row keeps its place as a stored row; a fresh add-new row follows it.
  const int z = m_zeilen;
  if (m_neueZeile) {
    beginInsertRows({}, z + 1, z + 1);
    m_zeilen = neu;
    endInsertRows();
  } else {
    beginInsertRows({}, z, z);
    m_zeilen = neu;
    endInsertRows();
  }
  ZeileAktualisiert(z);
}

void GitterModell::ZeileGeloescht(int zeile) {
  Recordset* rs = Daten();
  const int neu = rs ? rs->RecordCount() : 0;
  if (neu != m_zeilen - 1 || zeile < 0 || zeile >= m_zeilen) {
    Neu();
    return;
  }
  beginRemoveRows({}, zeile, zeile);
  m_zeilen = neu;
  endRemoveRows();
}

void GitterModell::MarkenNeuZeichnen() {
  if (rowCount() == 0 || columnCount() == 0) return;
  Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                     {Qt::BackgroundRole, Qt::ForegroundRole});
}

int GitterModell::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return DatenZeilen() + (m_neueZeile ? 1 : 0);
}

int GitterModell::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(m_spalten.size());
}

QVariant GitterModell::data(const QModelIndex& idx, int role) const {
  if (!idx.isValid()) return {};
  const int zeile = idx.row();
  const int spalte = idx.column();
  if (spalte >= static_cast<int>(m_spalten.size())) return {};
  const GitterSpalte& s = m_spalten[spalte];
  switch (role) {
    case Qt::DisplayRole:
      if (s.typ == FeldTyp::Boolean && s.format == GitterFormat::Allgemein) return {};   // shown as a check box
      return Text(zeile, spalte);
    case Qt::CheckStateRole: {
      if (s.typ != FeldTyp::Boolean || s.format != GitterFormat::Allgemein || IstNeueZeile(zeile)) return {};
      const QVariant w = Rohwert(zeile, spalte);
      return w.toBool() ? Qt::Checked : Qt::Unchecked;
    }
    case Qt::EditRole:
      return GitterFormatierung::Bearbeitung(Rohwert(zeile, spalte), s.typ, s.editor);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(s.ausrichtung);
    case Qt::ForegroundRole:
    case Qt::BackgroundRole:
    case Qt::FontRole: {
      if (IstNeueZeile(zeile)) return {};
      const bool markiert = m_marken && !m_marken->Leer() && m_marken->Enthaelt(Schluessel(zeile));
      ZellStil stil;
      if (m_stil) m_stil(zeile, spalte, stil);
      if (role == Qt::FontRole) {
        if (!stil.fett) return {};
        QFont f;
        f.setBold(true);
        return f;
      }
      if (markiert) {
        // Marked rows read like selected rows; the row colour would vanish on the highlight.
        return QBrush(m_palette.color(role == Qt::BackgroundRole ? QPalette::Highlight : QPalette::HighlightedText));
      }
      if (role == Qt::ForegroundRole && stil.vordergrund) return QBrush(*stil.vordergrund);
      if (role == Qt::BackgroundRole && stil.hintergrund) return QBrush(*stil.hintergrund);
      return {};
    }
    default:
      return {};
  }
}

QVariant GitterModell::headerData(int section, Qt::Orientation o, int role) const {
  if (o == Qt::Horizontal) {
    if (section < 0 || section >= static_cast<int>(m_spalten.size())) return {};
    if (role == Qt::DisplayRole) return m_spalten[section].titel;
    // Captions stand over their values: right-aligned over numbers.
    if (role == Qt::TextAlignmentRole)
      return QVariant::fromValue(Qt::Alignment((m_spalten[section].ausrichtung & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter));
    return {};
  }
  if (role == Qt::DisplayRole) {
    if (section == m_ausstehend) return QStringLiteral("\u270E");   // pencil: pending edit
    if (IstNeueZeile(section)) return QStringLiteral("*");
    return QString();
  }
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  return {};
}

Qt::ItemFlags GitterModell::flags(const QModelIndex& idx) const {
  if (!idx.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (m_bearbeitbar && m_bearbeitbar(idx.row(), idx.column())) f |= Qt::ItemIsEditable;
  return f;
}

bool GitterModell::setData(const QModelIndex& idx, const QVariant& wert, int role) {
  if (!idx.isValid() || role != Qt::EditRole || !m_aenderung) return false;
  return m_aenderung(idx.row(), idx.column(), wert);
}
