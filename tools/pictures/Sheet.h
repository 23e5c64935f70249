#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QVBoxLayout>
#include <QWidget>

// A white page of a fixed width (and height, unless 0) around the widgets
// under review.
class Sheet : public QWidget {
public:
    explicit Sheet(int width, int height = 0, int margin = 0)
    {
        setObjectName("sheet");
        setStyleSheet("#sheet { background: #FFFFFF; }");
        layout = new QVBoxLayout(this);
        layout->setContentsMargins(margin, margin, margin, margin);
        layout->setSpacing(0);
        setFixedWidth(width);
        if (height > 0)
            setFixedHeight(height);
    }
    QImage Picture()
    {
        adjustSize();
        show();
        QCoreApplication::processEvents(); // lay the new texts out first
        if (QWidget* focused = focusWidget())
            focused->clearFocus(); // shown first, the sheet focuses its first control: a review shows no focus
        return grab().toImage();
    }

    QVBoxLayout* layout;
};
