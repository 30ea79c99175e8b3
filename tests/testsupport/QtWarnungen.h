#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects what Qt writes to stderr (warnings, criticals) while it lives, so that a window test can
// require a quiet run ("closeEditor called with an editor that does not belong to this view").
// The offscreen platform's note on size hints is no warning about the program.
class QtWarnungen {
 public:
  QtWarnungen() : m_vorher(qInstallMessageHandler(&Sammeln)) { Liste().clear(); }
  ~QtWarnungen() { qInstallMessageHandler(m_vorher); }
  QtWarnungen(const QtWarnungen&) = delete;
  QtWarnungen& operator=(const QtWarnungen&) = delete;

  const QStringList& Texte() const { return Liste(); }

 private:
  static QStringList& Liste() {
    static QStringList liste;
    return liste;
  }
  static void Sammeln(QtMsgType typ, const QMessageLogContext&, const QString& text) {
    if (typ == QtDebugMsg || typ == QtInfoMsg) return;
    if (text.contains(QStringLiteral("propagateSizeHints"))) return;
    Liste() << text;
  }
  QtMessageHandler m_vorher;
};
