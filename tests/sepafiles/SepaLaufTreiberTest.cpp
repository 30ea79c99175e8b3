#include <gtest/gtest.h>

#include <QDir>
#include <QTextStream>

#include "QtAusgabe.h"
#include "SepaLaufTreiber.h"
#include "testsupport/SchemaPruefung.h"
#include "testsupport/TestOrdner.h"

namespace {

struct Lauf {
  int rc = -1;
  QString aus;
  QString fehler;
};

Lauf Aufrufen(const QStringList& argumente) {
  Lauf l;
  QTextStream aus(&l.aus);
  QTextStream fehler(&l.fehler);
  l.rc = SepaLaufTreiber(argumente, aus, fehler);
  aus.flush();
  fehler.flush();
  return l;
}

int Zahl(const QString& ausgabe, const QString& schluessel) {
  for (const QString& zeile : ausgabe.split(QLatin1Char('\n')))
    if (zeile.startsWith(schluessel)) return zeile.mid(schluessel.size()).toInt();
  return -1;
}

QStringList DateiZeilen(const QString& ausgabe) {
  QStringList pfade;
  for (const QString& zeile : ausgabe.split(QLatin1Char('\n')))
    if (zeile.startsWith(QLatin1String("Datei: "))) pfade << zeile.mid(7);
  return pfade;
}

TEST(SepaLaufTreiber, ErzeugtFeindlicheDatenUndSchreibtGueltigeAufgeteilteDateien) {
  TestOrdner ordner;
  const QString db = ordner.Datei(QStringLiteral("TamoSEPA.db"));
  QDir(ordner.Pfad()).mkdir(QStringLiteral("ziel"));
  const QString ziel = ordner.Datei(QStringLiteral("ziel"));
  const Lauf l = Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--erzeugen"), QStringLiteral("60"),
                           QStringLiteral("--seed"), QStringLiteral("7"), QStringLiteral("--feindlich"),
                           QStringLiteral("--art"), QStringLiteral("2"), QStringLiteral("--aufteilen"),
                           QStringLiteral("--ziel"), ziel, QStringLiteral("--referenz"), QStringLiteral("B900")});
  ASSERT_EQ(l.rc, 0) << l.fehler.toStdString();
  const QStringList dateien = DateiZeilen(l.aus);
  ASSERT_EQ(dateien.size(), 4);
  for (const QString& pfad : dateien) {
    const QStringList fehler = SchemaPruefung::Pruefen(pfad, QStringLiteral("pain.008.001.02"));
    EXPECT_TRUE(fehler.isEmpty()) << pfad.toStdString() << ": " << fehler.join(QLatin1Char('\n')).toStdString();
  }
  const int geschrieben = Zahl(l.aus, QStringLiteral("Zahlungen: "));
  const int fehlerhaft = Zahl(l.aus, QStringLiteral("Fehlerhaft: "));
  EXPECT_GT(fehlerhaft, 0);
  EXPECT_EQ(geschrieben + fehlerhaft, 60);

  // Everything written is done: a second run over the same database finds nothing and is refused.
  const Lauf zweiter = Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--art"), QStringLiteral("2"),
                                 QStringLiteral("--ziel"), ziel, QStringLiteral("--referenz"), QStringLiteral("B904")});
  EXPECT_EQ(zweiter.rc, 1);
  EXPECT_EQ(Zahl(zweiter.aus, QStringLiteral("Zahlungen: ")), 0);
  EXPECT_TRUE(DateiZeilen(zweiter.aus).isEmpty());
}

TEST(SepaLaufTreiber, UeberweisungenUndFalscheAufrufe) {
  TestOrdner ordner;
  const QString db = ordner.Datei(QStringLiteral("u.db"));
  const Lauf l = Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--erzeugen"), QStringLiteral("25"),
                           QStringLiteral("--art"), QStringLiteral("0"), QStringLiteral("--ziel"), ordner.Pfad(),
                           QStringLiteral("--referenz"), QStringLiteral("U1")});
  ASSERT_EQ(l.rc, 0) << l.fehler.toStdString();
  ASSERT_EQ(DateiZeilen(l.aus).size(), 1);
  EXPECT_TRUE(SchemaPruefung::Pruefen(DateiZeilen(l.aus).first(), QStringLiteral("pain.001.001.03")).isEmpty());
  EXPECT_EQ(Zahl(l.aus, QStringLiteral("Zahlungen: ")), 25);
  EXPECT_EQ(Zahl(l.aus, QStringLiteral("Fehlerhaft: ")), 0);

  // An existing file is never overwritten by --erzeugen; missing or wrong arguments fail.
  EXPECT_EQ(Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--erzeugen"), QStringLiteral("5"),
                      QStringLiteral("--art"), QStringLiteral("0"), QStringLiteral("--ziel"), ordner.Pfad(),
                      QStringLiteral("--referenz"), QStringLiteral("U2")})
                .rc,
            2);
  EXPECT_EQ(Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--art"), QStringLiteral("3"), QStringLiteral("--ziel"),
                      ordner.Pfad(), QStringLiteral("--referenz"), QStringLiteral("U2")})
                .rc,
            2);
  EXPECT_EQ(Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--art"), QStringLiteral("0")}).rc, 2);
}

}  // namespace
