#pragma once

#include <QString>
#include <QVariantMap>

class SWSTAnswerButton;

// The look of every styled control: one constant table of entries keyed by name ("TopBar",
// "BatchCropBtn", ...), each giving the five looks of a button and its image, sizes, insets,
// title and font size. Controls name their entry through SWSTAnswerButton::setConfigKey().
//
// An attribute an entry does not carry reads as zero: no radius or border, fully transparent
// colours, no size, no insets, the default font size, no title; an entry without an image
// leaves the button's images alone. A name that is not in the table reads as an entry that
// carries nothing.
//
// GUI thread only; sharedInstance() may be first called from any thread.
class RMUIConfig {
public:
    static RMUIConfig& sharedInstance();

    RMUIConfig(const RMUIConfig&) = delete;
    RMUIConfig& operator=(const RMUIConfig&) = delete;

    // The table: entry name -> attribute name -> an integer, a string, or a map of integers.
    // Colours are 0xAARRGGBB integers.
    QVariantMap configDic() const;

    // Copies entry key into button: border flag, the five looks, layout values, the image
    // tinted for each look, font and title. Shows the look of the button's state.
    void configButton(SWSTAnswerButton* button, const QString& key) const;
    // Gives button the image resource imageName in every look, tinted with the looks'
    // current image colours, and redraws it.
    void changeBtn(SWSTAnswerButton* button, const QString& imageName) const;

private:
    RMUIConfig() = default;
};
