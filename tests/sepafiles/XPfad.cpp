#include "XPfad.h"

#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

struct XPfad::Daten {
  xmlDocPtr doc = nullptr;
  xmlXPathContextPtr ctx = nullptr;
};

XPfad::XPfad(const QByteArray& inhalt) : m_daten(std::make_unique<Daten>()) {
  m_daten->doc = xmlReadMemory(inhalt.constData(), int(inhalt.size()), "sepa.xml", nullptr, XML_PARSE_NONET);
  if (!m_daten->doc) return;
  m_daten->ctx = xmlXPathNewContext(m_daten->doc);
  xmlNodePtr wurzel = xmlDocGetRootElement(m_daten->doc);
  if (wurzel && wurzel->ns && wurzel->ns->href)
    xmlXPathRegisterNs(m_daten->ctx, BAD_CAST "p", wurzel->ns->href);
}

XPfad::~XPfad() {
  if (m_daten->ctx) xmlXPathFreeContext(m_daten->ctx);
  if (m_daten->doc) xmlFreeDoc(m_daten->doc);
}

bool XPfad::Gelesen() const { return m_daten->ctx != nullptr; }

QStringList XPfad::Texte(const QString& ausdruck) const {
  QStringList texte;
  if (!Gelesen()) return texte;
  const QByteArray a = ausdruck.toUtf8();
  xmlXPathObjectPtr obj = xmlXPathEvalExpression(BAD_CAST a.constData(), m_daten->ctx);
  if (!obj) return texte;
  if (obj->type == XPATH_NODESET && obj->nodesetval) {
    for (int i = 0; i < obj->nodesetval->nodeNr; ++i) {
      xmlChar* inhalt = xmlNodeGetContent(obj->nodesetval->nodeTab[i]);
      texte.append(QString::fromUtf8(reinterpret_cast<const char*>(inhalt)));
      xmlFree(inhalt);
    }
  }
  xmlXPathFreeObject(obj);
  return texte;
}

QString XPfad::Text(const QString& ausdruck) const {
  const QStringList texte = Texte(ausdruck);
  return texte.size() == 1 ? texte.first() : QString();
}

double XPfad::Zahl(const QString& ausdruck) const {
  if (!Gelesen()) return -1;
  const QByteArray a = ausdruck.toUtf8();
  xmlXPathObjectPtr obj = xmlXPathEvalExpression(BAD_CAST a.constData(), m_daten->ctx);
  if (!obj) return -1;
  const double wert = xmlXPathCastToNumber(obj);
  xmlXPathFreeObject(obj);
  return wert;
}

QStringList XPfad::Kinder(const QString& ausdruck) const {
  QStringList namen;
  if (!Gelesen()) return namen;
  const QByteArray a = ausdruck.toUtf8();
  xmlXPathObjectPtr obj = xmlXPathEvalExpression(BAD_CAST a.constData(), m_daten->ctx);
  if (!obj) return namen;
  if (obj->type == XPATH_NODESET && obj->nodesetval && obj->nodesetval->nodeNr > 0) {
    for (xmlNodePtr k = obj->nodesetval->nodeTab[0]->children; k; k = k->next)
      if (k->type == XML_ELEMENT_NODE) namen.append(QString::fromUtf8(reinterpret_cast<const char*>(k->name)));
  }
  xmlXPathFreeObject(obj);
  return namen;
}
