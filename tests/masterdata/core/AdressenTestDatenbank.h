#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "platform/db/Datenbank.h"

// Texts from UTF-8 literals (the build allows no implicit conversion).
inline QString T(const char* s) { return QString::fromUtf8(s); }
inline QStringList L(std::initializer_list<const char*> texte) {
  QStringList l;
  for (const char* t : texte) l << T(t);
  return l;
}
// A value for a row: a UTF-8 literal as text, or any QVariant (default: Null).
struct W {
  QVariant v;
  W() = default;
  W(const char* s) : v(T(s)) {}            // NOLINT(google-explicit-constructor)
  W(const QString& s) : v(s) {}            // NOLINT(google-explicit-constructor)
  W(QVariant x) : v(std::move(x)) {}       // NOLINT(google-explicit-constructor)
};

// The program's database in memory, made from the shipped schema.
inline std::unique_ptr<Datenbank> SchemaDatenbank() {
  auto db = Datenbank::InSpeicher();
  QFile schema(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
  EXPECT_TRUE(schema.open(QIODevice::ReadOnly)) << "Schema fehlt";
  const DbFehler f = db->SkriptAusfuehren(QString::fromUtf8(schema.readAll()));
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return db;
}

// Rows of a query as "a|b|c" (Null as "<null>").
inline QStringList Zeilen(Datenbank& db, const SqlText& sql, const QVariantList& parameter = {}) {
  QStringList ergebnis;
  const DbFehler f = db.Abfragen(sql, parameter, [&](const Zeile& z) {
    QStringList teile;
    for (int i = 0; i < z.Anzahl(); ++i)
      teile << (z.Wert(i).isNull() ? QStringLiteral("<null>") : z.Wert(i).toString());
    ergebnis << teile.join(QLatin1Char('|'));
    return true;
  });
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return ergebnis;
}

inline void Ausfuehren(Datenbank& db, const SqlText& sql, const QVariantList& parameter = {}) {
  const DbFehler f = db.Ausfuehren(sql, parameter);
  ASSERT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
}
