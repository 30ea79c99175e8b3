#include "platform/db/RecordsetModell.h"

#include <QDate>
#include <QDateTime>

#include <cmath>

RecordsetModell::RecordsetModell(QObject* parent) : QAbstractTableModel(parent) {}

void RecordsetModell::SetzeRecordset(Recordset* rs) {
  beginResetModel();
  m_rs = rs;
  m_zeilen = m_rs ? m_rs->RecordCount() : 0;
  m_spalten = m_rs ? m_rs->SpaltenAnzahl() : 0;
  endResetModel();
}

void RecordsetModell::AllesNeu() { SetzeRecordset(m_rs); }

void RecordsetModell::ZeileGeaendert(int zeile) {
  if (zeile < 0 || zeile >= m_zeilen || m_spalten == 0) return;
  Q_EMIT dataChanged(index(zeile, 0), index(zeile, m_spalten - 1));
}

void RecordsetModell::ZeileAngefuegt() {
  const int neu = m_rs ? m_rs->RecordCount() : 0;
  if (neu <= m_zeilen) {
    AllesNeu();
    return;
  }
  beginInsertRows({}, m_zeilen, neu - 1);
  m_zeilen = neu;
  endInsertRows();
}

void RecordsetModell::ZeileEntfernt(int zeile) {
  const int neu = m_rs ? m_rs->RecordCount() : 0;
  if (zeile < 0 || zeile >= m_zeilen || neu != m_zeilen - 1) {
    AllesNeu();
    return;
  }
  // the recordset has already dropped the row; until the views are told, show them the old rows
  m_entfernt = zeile;
  beginRemoveRows({}, zeile, zeile);
  m_zeilen = neu;
  m_entfernt = -1;
  endRemoveRows();
}

int RecordsetModell::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_zeilen; }

int RecordsetModell::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_spalten; }

QVariant RecordsetModell::data(const QModelIndex& index, int role) const {
  if (!m_rs || !index.isValid() || index.row() >= m_zeilen || index.column() >= m_spalten) return {};
  const FeldTyp typ = m_rs->Spalte(index.column()).typ;
  int zeile = index.row();
  if (m_entfernt >= 0) {
    if (zeile == m_entfernt) return {};
    if (zeile > m_entfernt) --zeile;
  }
  switch (role) {
    case Qt::DisplayRole:
      if (typ == FeldTyp::Boolean) return {};  // shown as a check box
      return AnzeigeText(m_rs->WertAn(zeile, index.column()), typ);
    case Qt::EditRole:
      return m_rs->WertAn(zeile, index.column());
    case Qt::CheckStateRole:
      if (typ != FeldTyp::Boolean) return {};
      return m_rs->WertAn(zeile, index.column()).toLongLong() != 0 ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
      switch (typ) {
        case FeldTyp::Waehrung:
        case FeldTyp::Integer:
        case FeldTyp::Long:
        case FeldTyp::Double:
          return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default:
          return {};
      }
    default:
      return {};
  }
}

QVariant RecordsetModell::headerData(int section, Qt::Orientation o, int role) const {
  if (o == Qt::Horizontal && role == Qt::DisplayRole && m_rs && section >= 0 && section < m_spalten)
    return m_rs->Spalte(section).name;
  return QAbstractTableModel::headerData(section, o, role);
}

QString RecordsetModell::AnzeigeText(const QVariant& wert, FeldTyp typ) {
  if (!wert.isValid() || wert.isNull()) return {};
  switch (typ) {
    case FeldTyp::Datum: {
      const QString t = wert.typeId() == QMetaType::QDate ? wert.toDate().toString(QStringLiteral("yyyy-MM-dd"))
                                                          : wert.toString();
      const QDate d = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
      if (!d.isValid()) return t;
      QString text = d.toString(QStringLiteral("dd.MM.yyyy"));
      if (t.size() >= 19) {
        const QTime zeit = QTime::fromString(t.mid(11, 8), QStringLiteral("HH:mm:ss"));
        if (zeit.isValid() && zeit != QTime(0, 0)) text += QLatin1Char(' ') + zeit.toString(QStringLiteral("HH:mm:ss"));
      }
      return text;
    }
    case FeldTyp::Waehrung: {
      if (wert.typeId() == qMetaTypeId<Waehrung>()) return wert.value<Waehrung>().FormatDeutsch();
      if (wert.typeId() == QMetaType::Double) return Waehrung::AusRoh(std::llround(wert.toDouble() * Waehrung::Skala)).FormatDeutsch();
      bool ok = false;
      const qint64 roh = wert.toLongLong(&ok);
      return ok ? Waehrung::AusRoh(roh).FormatDeutsch() : wert.toString();
    }
    case FeldTyp::Boolean:
      return wert.toLongLong() != 0 ? QStringLiteral("Ja") : QStringLiteral("Nein");
    case FeldTyp::Double:
      if (wert.typeId() == QMetaType::Double)
        return QString::number(wert.toDouble(), 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
      return wert.toString();
    case FeldTyp::Binaer:
      return QStringLiteral("<Binär>");
    default:
      return wert.toString();
  }
}
