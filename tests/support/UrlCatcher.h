#pragma once

#include <QtGui>

class UrlCatcher : public QObject {
    Q_OBJECT

public:
    UrlCatcher() { QDesktopServices::setUrlHandler("https", this, "Open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("https"); }

    QList<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls << url; }
};
