#include "CommandLogic.h"

#include <cstdlib>

std::string PropertyStore::Read(const std::string& name, const std::string& defaultValue) const {
    const auto at = values_.find(name);
    return at == values_.end() ? defaultValue : at->second;
}

void PropertyStore::Write(const std::string& name, const std::string& value, const std::string& defaultValue) {
    if (value == defaultValue) {
        values_.erase(name);
    } else {
        values_[name] = value;
    }
}

// The gradient's orientation follows the state: light at the bottom while
// the pointer is over a button without focus; state 4 keeps what was there.
void CommandLogic::DrawButton(Face face) {
    if (mState == stNormal || mState == stSelected) mInverted = VB_False;
    if (mState == stHighLight) mInverted = VB_True;
    view_.DrawButton(face, mInverted != VB_False);
}

void CommandLogic::ShowEnabled() {
    if (mEnabled != VB_False) {
        DrawButton(Face::Normal);
        view_.SetCaptionEnabled(true);
    } else {
        DrawButton(Face::Disable);
        view_.SetCaptionEnabled(false);
    }
}

void CommandLogic::RedrawNormal() {
    if (mEnabled == VB_False) return;
    view_.SetCaptionEnabled(true);
    if (mFirstRun == 0) view_.SetCaptionColour(0);
    DrawButton(Face::Normal);
}

void CommandLogic::MouseLeave() {
    if (mEnabled == VB_False) return;
    if (mState == stHighLight) {
        mState = stNormal;
        DrawButton(Face::Normal);
    }
    if (mState == stHighLightSelect) {
        mState = stSelected;
        DrawButton(Face::Selected);
    }
}

void CommandLogic::Initialize() {
    mState = stNormal;
    view_.StartHoverTimer(100);
}

void CommandLogic::SetVisible(bool visible) {
    if (visible) {
        view_.SetBackStyle(1);
        RedrawNormal();
    } else {
        view_.SetBackStyle(0);
    }
    view_.PropertyChanged("Visible");
}

bool CommandLogic::Visible() {
    if (view_.BackStyle() == 0) return false;
    RedrawNormal();
    return true;
}

void CommandLogic::SetFontColour(uint32_t colour) {
    view_.SetCaptionColour(colour);
    RedrawNormal();
    view_.PropertyChanged("FontColour");
}

uint32_t CommandLogic::FontColour() {
    const uint32_t colour = view_.CaptionColour();
    RedrawNormal();
    return colour;
}

void CommandLogic::SetEnabled(bool enabled) {
    mEnabled = ToVBBool(enabled);
    view_.PropertyChanged("Enabled");
    ShowEnabled();
}

bool CommandLogic::Enabled() {
    if (mFirstRun == 0) {
        RedrawNormal();
        mFirstRun = 1;
        mEnabled = VB_True;
    }
    const bool enabled = mEnabled != VB_False;
    ShowEnabled();
    return enabled;
}

void CommandLogic::SetCaption(const std::string& caption) {
    caption_ = caption;
    view_.PropertyChanged("Caption");
}

void CommandLogic::SetFont(const std::string& font) {
    font_ = font;
    view_.PropertyChanged("Font");
}

void CommandLogic::MouseDown(int button) {
    if (mEnabled == VB_False || button != 1) return;
    mButtonDown = VB_True;
    DrawButton(Face::Pressed);
}

void CommandLogic::MouseMove() {
    if (mEnabled == VB_False) return;
    if (mState == stNormal) {
        mState = stHighLight;
        DrawButton(Face::HighLight);
    }
    if (mState == stSelected && mButtonDown == VB_False) {
        mState = stHighLightSelect;
        DrawButton(Face::HighLightSelect);
    }
}

void CommandLogic::MouseUp(int button, bool overControl) {
    if (mEnabled == VB_False) return;
    if (button == 1) {
        mButtonDown = VB_False;
        if (mState == stHighLight) DrawButton(Face::Normal);
        if (mState == stHighLightSelect) DrawButton(Face::HighLightSelect);
    }
    if (mState != stSelected && overControl) view_.Click();
}

void CommandLogic::GotFocus() {
    if (mEnabled == VB_False) return;
    if (mState != stHighLight) {
        mState = stSelected;
        DrawButton(Face::Selected);
    } else {
        mState = stHighLightSelect;
        DrawButton(Face::Pressed);
    }
}

void CommandLogic::LostFocus() {
    if (mEnabled == VB_False) return;
    if (mState != stNormal) {
        mState = stNormal;
        DrawButton(Face::Normal);
    }
}

void CommandLogic::Resize() { ShowEnabled(); }

void CommandLogic::HoverTick(bool pointerOverControl) {
    if (!pointerOverControl) MouseLeave();
}

void CommandLogic::KeyClick() {
    if (mEnabled != VB_False) view_.Click();
}

void CommandLogic::ReadProperties(const PropertyStore& store, const std::string& ambientFont) {
    mEnabled = store.Read("Enabled", "True") == "True" ? VB_True : VB_False;
    caption_ = store.Read("Caption", "Command1");
    font_ = store.Read("Font", ambientFont);
    mFirstRun = static_cast<uint8_t>(std::atoi(store.Read("FirstRun", "1").c_str()));
    view_.SetCaptionColour(static_cast<uint32_t>(std::strtoul(store.Read("FontColour", "0").c_str(), nullptr, 10)));
    view_.SetBackStyle(std::atoi(store.Read("Visible", "1").c_str()));
    RedrawNormal();
}

void CommandLogic::WriteProperties(PropertyStore& store, const std::string& ambientFont) {
    store.Write("Enabled", mEnabled != VB_False ? "True" : "False", "True");
    store.Write("Caption", caption_, "Command");
    store.Write("FirstRun", std::to_string(mFirstRun), "1");
    store.Write("Font", font_, ambientFont);
    store.Write("FontColour", std::to_string(view_.CaptionColour()), "0");
    store.Write("Visible", std::to_string(view_.BackStyle()), "1");
    RedrawNormal();
}
