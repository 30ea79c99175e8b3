#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <optional>

#include "platform/db/Waehrung.h"

// The message versions a run writes. German banks take pain.001.001.09 / pain.008.001.08 (their GBIC_5
// schemas); pain.001.001.03 / pain.008.001.02 only until November 2026. Both carry the same content. Held
// against the ISO and DK schemas element by element, what the writer emits differs only in:
//
//   element                            pain.001.001.03 / pain.008.001.02   pain.001.001.09 / pain.008.001.08
//   Document namespace, schemaLocation  ...pain.001.001.03 / .008.001.02     ...pain.001.001.09 / .008.001.08
//   DbtrAgt, CdtrAgt: FinInstnId        <BIC>                               <BICFI>
//   ReqdExctnDt (credit transfers)      the date                            <Dt>the date</Dt>
//   CtrlSum (DK schema)                 18 digits, 17 after the point       18 digits, 2 after the point
//
// The same in both: GrpHdr (MsgId, CreDtTm, NbOfTxs, CtrlSum, InitgPty/Nm), PmtInf (PmtInfId, PmtMtd,
// BtchBookg, NbOfTxs, CtrlSum, PmtTpInf with SvcLvl, LclInstrm and SeqTp, ReqdColltnDt as a plain date,
// Dbtr/Cdtr Nm, the accounts' IBAN, FinInstnId/Othr/Id NOTPROVIDED, ChrgBr SLEV, CdtrSchmeId), the
// transactions (PmtId/EndToEndId, Amt/InstdAmt or InstdAmt with Ccy EUR, MndtRltdInf with MndtId,
// DtOfSgntr and AmdmntInd, Purp/Cd, RmtInf/Ustrd), in the same order. The newer version is written without
// UETR, without a date-time execution date and without any postal address (the DK schema allows only the
// structured one, which the program does not keep).
enum class SepaFormat { Pain09, Pain03 };

namespace SepaFormate {

inline constexpr SepaFormat Vorgabe = SepaFormat::Pain09;
QList<SepaFormat> Alle();

// "pain.001.001.09", "pain.008.001.08", "pain.001.001.03", "pain.008.001.02".
QString Nachricht(SepaFormat format, bool lastschrift);
// The schema files of a message: "pain.001.001.09.xsd" and "pain.001.001.09_GBIC_5.xsd".
QString IsoSchema(SepaFormat format, bool lastschrift);
QString DkSchema(SepaFormat format, bool lastschrift);

// The setting's choices: "pain.001.001.09 / pain.008.001.08", "pain.001.001.03 / pain.008.001.02 (bis November 2026)".
QString Bezeichnung(SepaFormat format);
// As stored in Einstellungen: the credit-transfer message ("pain.001.001.09").
QString Wert(SepaFormat format);
// A stored value, a choice's caption or any of the four message names; nullopt for anything else.
std::optional<SepaFormat> AusText(const QString& text);

// The older format: German banks take it only until the end of November 2026. From `AltesFormatEnde` on, a
// run in it asks first and its success message says so; the format stays selectable (a bank abroad may take it).
QDate AltesFormatEnde();   // 01.12.2026
bool VonBankenAbgelehnt(SepaFormat format, const QDate& heute);
// "Die deutschen Banken nehmen ... seit Ende November 2026 nicht mehr an."
QString AltesFormatWarnung();
// The question before a run in the older format (true) or before it is chosen (false); "Nein" is the default.
QString AltesFormatFrage(bool lauf);
// What the success message of a run in the older format says instead of "ready for the bank".
QString AltesFormatErstellt(SepaFormat format, bool lastschrift, bool mehrere);
// The format of a written SEPA file, by the message its document names near its start; nullopt for a file
// that cannot be read or names none of the four messages.
std::optional<SepaFormat> FormatDerDatei(const QString& pfad);

// The name of every agent's BIC element.
QByteArray BicElement(SepaFormat format);
// ReqdExctnDt holds the date in <Dt>.
bool AusfuehrungsdatumInDt(SepaFormat format);

// CtrlSum of both schemas of the format: at most 18 digits, of them at most 2 (pain.001.001.09 /
// pain.008.001.08, DK) or 17 after the point, not negative. A sum beyond 999.999.999,99 is allowed.
bool KontrollsummePasst(SepaFormat format, Waehrung summe);

}  // namespace SepaFormate
