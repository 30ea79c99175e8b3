#include "sepafiles/core/SepaKalender.h"

#include <algorithm>

namespace SepaKalender {
namespace {

bool IstWochenende(const QDate& tag) { return tag.dayOfWeek() >= Qt::Saturday; }

QDate NaechsterBankarbeitstag(QDate tag) {
  while (!IstBankarbeitstag(tag)) tag = tag.addDays(1);
  return tag;
}

QDate LetzterBankarbeitstag(QDate tag) {
  while (!IstBankarbeitstag(tag)) tag = tag.addDays(-1);
  return tag;
}

}  // namespace

QDate Ostersonntag(int jahr) {
  // Anonymous Gregorian algorithm (Meeus/Jones/Butcher).
  const int a = jahr % 19;
  const int b = jahr / 100;
  const int c = jahr % 100;
  const int d = b / 4;
  const int e = b % 4;
  const int f = (b + 8) / 25;
  const int g = (b - f + 1) / 3;
  const int h = (19 * a + b - d - g + 15) % 30;
  const int i = c / 4;
  const int k = c % 4;
  const int l = (32 + 2 * e + 2 * i - h - k) % 7;
  const int m = (a + 11 * h + 22 * l) / 451;
  const int monat = (h + l - 7 * m + 114) / 31;
  const int tag = ((h + l - 7 * m + 114) % 31) + 1;
  return QDate(jahr, monat, tag);
}

bool IstTarget2Schliesstag(const QDate& tag) {
  const int m = tag.month();
  const int t = tag.day();
  if ((m == 1 && t == 1) || (m == 5 && t == 1) || (m == 12 && (t == 25 || t == 26))) return true;
  const QDate ostern = Ostersonntag(tag.year());
  return tag == ostern.addDays(-2) || tag == ostern.addDays(1);
}

bool IstBankarbeitstag(const QDate& tag) { return !IstWochenende(tag) && !IstTarget2Schliesstag(tag); }

QDate Ausfuehrungsdatum(const std::optional<QDate>& gewuenscht, const QDate& heute) {
  QDate tag = (gewuenscht && gewuenscht->isValid()) ? *gewuenscht : heute.addDays(1);
  // A date already past when the file is written (the window's date, left over night) would ask the bank to
  // pay in the past: today at the earliest.
  tag = std::max(tag, heute);
  if (tag.dayOfWeek() == Qt::Saturday) tag = tag.addDays(2);
  else if (tag.dayOfWeek() == Qt::Sunday) tag = tag.addDays(1);
  return NaechsterBankarbeitstag(tag);
}

QDate Einzugsdatum(int vorlauftage, const QDate& heute) {
  QDate tag = heute.addDays(vorlauftage < 1 ? 1 : vorlauftage);
  if (IstWochenende(tag)) tag = tag.addDays(2);
  tag = NaechsterBankarbeitstag(tag);
  // The banks refuse a collection given in more than 14 days ahead: the move to a bank day must not pass them.
  const QDate spaetestens = heute.addDays(HoechsteVorlauftage);
  if (tag > spaetestens) tag = LetzterBankarbeitstag(spaetestens);
  // A file given in while the banks are closed is theirs on the next bank day, and the collection must
  // reach them a bank day before it falls due: otherwise the bank refuses it or moves the date.
  const QDate fruehestens = NaechsterBankarbeitstag(NaechsterBankarbeitstag(heute).addDays(1));
  return std::max(tag, fruehestens);
}

}  // namespace SepaKalender
