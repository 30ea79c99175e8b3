#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

// XPath over a SEPA document for the tests; the document's default namespace is bound to "p".
class XPfad {
 public:
  explicit XPfad(const QByteArray& inhalt);
  ~XPfad();
  XPfad(const XPfad&) = delete;
  XPfad& operator=(const XPfad&) = delete;

  bool Gelesen() const;
  // Texts of all nodes matched (elements: their text content).
  QStringList Texte(const QString& ausdruck) const;
  // Text of the single match; empty when there is none.
  QString Text(const QString& ausdruck) const;
  // Value of an XPath number expression (count(...), sum(...)).
  double Zahl(const QString& ausdruck) const;
  // Local names of the child elements of the first match, in document order.
  QStringList Kinder(const QString& ausdruck) const;

 private:
  struct Daten;
  std::unique_ptr<Daten> m_daten;
};
