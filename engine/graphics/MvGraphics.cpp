// Pictures: ordered lists of drawing commands.
#include "morvane/MvGraphics.h"

MvGraphicsCommand::MvGraphicsCommand(MvGraphicsCommandID id, std::int32_t x, std::int32_t y)
    : id_(id), x_(x), y_(y) {}

MvGraphics::~MvGraphics() {
    for (MvGraphicsCommand* command : commands_)
        delete command;
}

void MvGraphics::getSize(std::int16_t& width, std::int16_t& height) const {
    width = width_;
    height = height_;
}

void MvGraphics::setSize(int width, int height) {
    width_ = static_cast<std::int16_t>(width);
    height_ = static_cast<std::int16_t>(height);
}

int MvGraphics::append(MvGraphicsCommand* command) {
    commands_.push_back(command);
    return ++count_;
}

int MvGraphics::addText(const std::string& text, int x, int y) {
    auto* command = new MvGraphicsCommand(kGraphicsText, x, y);
    command->string_ = text;
    return append(command);
}

// Images and movies cover the window, so no erase is needed first.
int MvGraphics::addImage(const mv_auto_value<MvGWorld>& pixels, int x, int y) {
    auto* command = new MvGraphicsCommand(kGraphicsImage, x, y);
    command->pixels_ = pixels;
    fullErase_ = false;
    return append(command);
}

int MvGraphics::addMovie(MvMovieHandle* movie, int x, int y) {
    auto* command = new MvGraphicsCommand(kGraphicsMovie, x, y);
    command->movie_ = movie;
    fullErase_ = false;
    return append(command);
}

int MvGraphics::addMoveTo(int x, int y) {
    return append(new MvGraphicsCommand(kGraphicsMoveTo, x, y));
}

int MvGraphics::addLineTo(int x, int y) {
    return append(new MvGraphicsCommand(kGraphicsLineTo, x, y));
}
