// Script windows: a title, a position and the current picture.
#include "morvane/MvGraphics.h"

#include "morvane/MvException.h"
#include "morvane/MvParser.h"
#include "morvane/MvValue.h"

MvWindow::MvWindow(MvValue* value, const std::string& title, MvParser* parser)
    : title_(title), parser_(parser) {
    refresh(value);
    if (parser_)
        parser_->addToWindowList(this);
    x_ = -1;
    y_ = -1;
}

MvWindow::~MvWindow() {
    if (parser_)
        parser_->removeFromWindowList(this);
}

// A fresh picture every time: the installed one is never changed.
void MvWindow::refresh(MvValue* value) {
    mv_auto_value<MvGraphics> picture(new MvGraphics());
    if (value)
        value->Display(picture.get());
    installGraphics(picture.get());
}

void MvWindow::installGraphics(MvGraphics* graphics) {
    if (!graphics)
        MvRaise("Invalid graphics object.");
    graphics_ = graphics;
    std::int16_t width, height;
    graphics->getSize(width, height);
    width_ = width;
    height_ = height;
    update_ = true;
}

void MvWindow::setPosition(int x, int y) {
    x_ = static_cast<std::int16_t>(x);
    y_ = static_cast<std::int16_t>(y);
    update_ = true;
}
