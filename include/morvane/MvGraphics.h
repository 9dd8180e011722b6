// Script windows and the drawing-command lists that describe their pictures.
//
// The engine draws nothing itself: every window holds a picture, a list of
// device-independent commands, which the host renders. A picture is never
// changed once installed; a refresh builds a new one and swaps it in, so a
// host holding the previous picture can finish rendering it.
#ifndef MORVANE_MVGRAPHICS_H
#define MORVANE_MVGRAPHICS_H

#include "MvAutoObject.h"
#include "MvExport.h"
#include "MvGWorld.h"

#include <atomic>
#include <cstdint>
#include <list>
#include <string>

class MvParser;
class MvValue;
struct MvMovieHandle;   // the media layer's movie, shown by movie commands

enum MvGraphicsCommandID : std::int32_t {
    kGraphicsImage = 1,    // a pixel buffer with its top-left corner at (x, y)
    kGraphicsText = 2,     // a text starting at (x, y)
    kGraphicsMovie = 3,    // a movie at (x, y)
    kGraphicsMoveTo = 4,   // move the pen to (x, y)
    kGraphicsLineTo = 5    // a line from the pen to (x, y); the pen ends there
};

class MV_EXPORT MvGraphicsCommand {
public:
    MvGraphicsCommand(MvGraphicsCommandID id, std::int32_t x, std::int32_t y);

    MvGraphicsCommandID getID() const { return id_; }
    std::int32_t getX() const { return x_; }
    std::int32_t getY() const { return y_; }
    std::string getString() const { return string_; }
    MvMovieHandle* getMovie() const { return movie_; }
    mv_auto_value<MvGWorld>& getVsGWorld() { return pixels_; }

private:
    friend class MvGraphics;
    MvGraphicsCommandID id_;
    std::int32_t x_;
    std::int32_t y_;
    std::string string_;
    MvMovieHandle* movie_ = nullptr;
    mv_auto_value<MvGWorld> pixels_;
};

class MV_EXPORT MvGraphics : public MvAutoObject {
public:
    MvGraphics() = default;
    ~MvGraphics() override;
    MvGraphics(const MvGraphics&) = delete;
    MvGraphics& operator=(const MvGraphics&) = delete;

    void getSize(std::int16_t& width, std::int16_t& height) const;
    const std::list<MvGraphicsCommand*>* getCommandList() const { return &commands_; }
    bool fullEraseNeeded() const { return fullErase_; }
    int getCount() const { return count_; }

    void setSize(int width, int height);
    // Each append returns the number of commands so far.
    int addText(const std::string& text, int x, int y);
    int addImage(const mv_auto_value<MvGWorld>& pixels, int x, int y);
    int addMovie(MvMovieHandle* movie, int x, int y);
    int addMoveTo(int x, int y);
    int addLineTo(int x, int y);

private:
    int append(MvGraphicsCommand* command);

    std::int16_t width_ = 160;
    std::int16_t height_ = 120;
    std::list<MvGraphicsCommand*> commands_;
    int count_ = 0;
    bool fullErase_ = true;
};

class MV_EXPORT MvWindow : public MvAutoObject {
public:
    // Shows value (which may be null) and registers with the session.
    MvWindow(MvValue* value, const std::string& title, MvParser* parser);
    ~MvWindow() override;
    MvWindow(const MvWindow&) = delete;
    MvWindow& operator=(const MvWindow&) = delete;

    std::string getTitle() const { return title_; }
    // A counted reference to the current picture: the host may keep
    // rendering it while the script installs the next one.
    mv_auto_value<MvGraphics> getVsGraphics() const { return graphics_; }
    std::int16_t getWidth() const { return width_; }
    std::int16_t getHeight() const { return height_; }
    std::int16_t getXPosition() const { return x_; }
    std::int16_t getYPosition() const { return y_; }
    bool getUpdateFlag() const { return update_; }
    void setUpdateFlag(bool value) { update_ = value; }

    // Builds a new picture from value and installs it.
    void refresh(MvValue* value);
    // Raises "Invalid graphics object." for null.
    void installGraphics(MvGraphics* graphics);
    void setPosition(int x, int y);

private:
    mv_auto_value<MvGraphics> graphics_;
    mv_auto_value<MvAutoObject> spare_;   // a second reference, kept empty
    // Written by the script's thread, read by the host's.
    std::atomic<bool> update_{false};
    std::string title_;
    std::atomic<std::int16_t> width_{160};
    std::atomic<std::int16_t> height_{120};
    std::atomic<std::int16_t> x_{-1};
    std::atomic<std::int16_t> y_{-1};
    MvParser* parser_;
};

#endif
