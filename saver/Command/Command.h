// The button control "Command" as a control of our forms layer: a child
// window of its own class ("TaveloCommand") whose face (a light vertical
// gradient inside a frame cut from six state pictures) follows the pointer,
// the focus and the left button, and which raises Click. Its behaviour is
// CommandLogic; this file gives it a window, a persistent image and input.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "CommandLogic.h"
#include "Forms/Forms.h"

class Command : public forms::Control, private CommandView {
public:
    // Position and size in pixels; the caption (and the font, as text) come
    // from the form's design data through the control's property store.
    Command(forms::Form& form, int left, int top, int width, int height, const std::string& caption,
            forms::Control* container = nullptr);
    ~Command() override;

    // The public members of the control.
    void Initialize() { logic_.Initialize(); }
    // (The window is disabled too, so Tab passes over it.) A button that has
    // the focus hands it to the next tab stop first, while it can still
    // follow the loss: it is left without focus, so its next click works.
    void SetEnabled(bool enabled);
    bool Enabled() { return logic_.Enabled(); }
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return logic_.Caption(); }
    void SetVisible(bool visible) { logic_.SetVisible(visible); }
    void SetFontColour(uint32_t colour) { logic_.SetFontColour(colour); }

    // Draws the face with a picture of one's choosing, whatever the state:
    // for a look at all six looks at once (the demo).
    void ShowLook(Face face, bool inverted) { DrawButton(face, inverted); }

    std::function<void()> onClick;  // Click
    PropertyStore properties;       // what the container stores for it
    const CommandLogic& Logic() const { return logic_; }

protected:
    void Create() override;
    void Paint(HDC dc) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void ShowCaptionToOthers();
    // CommandView
    void DrawButton(Face face, bool inverted) override;
    void SetCaptionEnabled(bool enabled) override;
    void SetCaptionColour(uint32_t colour) override;
    uint32_t CaptionColour() const override { return captionColour_; }
    void SetBackStyle(int style) override;
    int BackStyle() const override { return backStyle_; }
    void StartHoverTimer(unsigned intervalMs) override;
    void PropertyChanged(const std::string&) override {}
    void Click() override;

    void HoverTick();

    CommandLogic logic_;
    forms::Timer hover_;  // TmrMouse
    std::unique_ptr<forms::Picture> face_;
    std::shared_ptr<forms::Picture> pictures_[6];
    bool captionEnabled_ = true;
    uint32_t captionColour_ = 0;
    int backStyle_ = 1;
};
