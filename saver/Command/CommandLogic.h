// The button control's behaviour without a window: its states, the faces it
// asks to draw, its properties and its Click. The Windows control (and the
// tests) feed it events and carry out what it asks through CommandView.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "VBTypes.h"

// The six state pictures the face is drawn with.
enum class Face { Normal, HighLight, Pressed, Disable, Selected, HighLightSelect };

// Interaction states (mState); 0 until Initialize or the first focus change.
enum : uint8_t { stNone = 0, stNormal = 1, stHighLight = 2, stSelected = 3, stHighLightSelect = 4 };

// What the logic asks of the control's window side.
class CommandView {
public:
    virtual ~CommandView() = default;
    // Draws the face: gradient (light at the bottom when inverted), frame of
    // the picture, caption laid out.
    virtual void DrawButton(Face face, bool inverted) = 0;
    virtual void SetCaptionEnabled(bool enabled) = 0;
    virtual void SetCaptionColour(uint32_t colour) = 0;
    virtual uint32_t CaptionColour() const = 0;
    virtual void SetBackStyle(int style) = 0;  // 1 opaque (the face shows), 0 transparent
    virtual int BackStyle() const = 0;
    virtual void StartHoverTimer(unsigned intervalMs) = 0;
    virtual void PropertyChanged(const std::string& name) = 0;  // the container saves it
    virtual void Click() = 0;
};

// The container's store of named property values; a value equal to its
// write default is not stored, a read of a missing one gives its default.
class PropertyStore {
public:
    std::string Read(const std::string& name, const std::string& defaultValue) const;
    void Write(const std::string& name, const std::string& value, const std::string& defaultValue);
    bool Has(const std::string& name) const { return values_.count(name) != 0; }
    std::map<std::string, std::string> values_;
};

class CommandLogic {
public:
    explicit CommandLogic(CommandView& view) : view_(view) {}

    // Public members.
    void Initialize();
    void SetVisible(bool visible);
    bool Visible();
    void SetFontColour(uint32_t colour);
    uint32_t FontColour();
    void SetEnabled(bool enabled);
    bool Enabled();
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    void SetFont(const std::string& font);  // a whole font as text ("name,size,weight,italic,charset")
    const std::string& Font() const { return font_; }

    // Events, in the control's handler names. Buttons: 1 left, 2 right, 4 middle.
    void MouseDown(int button);
    void MouseMove();
    // released: false when the button came up away from the control (it
    // keeps the mouse from the press on): no Click then.
    void MouseUp(int button, bool overControl = true);
    void GotFocus();
    void LostFocus();
    void Resize();
    void HoverTick(bool pointerOverControl);  // TmrMouse_Timer: is the window under the pointer ours?
    // Beyond the Part: Space (released) and Enter on a focused button.
    void KeyClick();

    void ReadProperties(const PropertyStore& store, const std::string& ambientFont);
    void WriteProperties(PropertyStore& store, const std::string& ambientFont);

    uint8_t mState = stNone;
    VBBool mEnabled = VB_False;
    uint8_t mFirstRun = 0;
    VBBool mButtonDown = VB_False;
    VBBool mInverted = VB_False;

private:
    void DrawButton(Face face);
    void ShowEnabled();
    void RedrawNormal();
    void MouseLeave();

    CommandView& view_;
    std::string caption_ = "Command";
    std::string font_;
};
