// What the game's sprites need of the main window, so they can also run under a test host.
#pragma once

#include <string>
#include <string_view>

class TPictureCollectionItem;
class TSpriteEngine;

class IGameHost {
public:
    virtual ~IGameHost() = default;
    // ImageList.Items.Find(name): case-insensitive; raises "Image '%s' not found".
    virtual TPictureCollectionItem* FindImage(std::string_view name) = 0;
    // Unless Options[3] is non-zero: play the named sound once and start the joystick's "eff1".
    virtual void PlayCue(std::string_view name) = 0;
    // Whether an input state (its position in the 36-state enumeration) is in DXInput.States.
    virtual bool InputHeld(int state) = 0;
    virtual int JoystickX() = 0;
    virtual int JoystickY() = 0;
    // The root every game sprite is created under (DXSpriteEngine.Engine).
    virtual TSpriteEngine* SpriteEngine() = 0;
    // The hidden label that carries the final score to the result-entry window.
    virtual void SetFinalScoreText(const std::string& text) = 0;
    virtual std::string FinalScoreText() = 0;
    virtual void MusicStop() = 0;        // Mp1.Stop
    virtual void StopTimers() = 0;       // Timer1 and DXTimer disabled
    virtual void ShowResultEntry() = 0;  // Form2, modally
};

IGameHost* GameHost();
void SetGameHost(IGameHost* host);
