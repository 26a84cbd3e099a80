#include "ui/RMUIConfig.h"

#include "ui/ColorHex.h"
#include "ui/SWSTAnswerButton.h"
#include "ui/TVKSafeDictionary.h"

#include <QApplication>

#include <array>

namespace {

// One value per look: Normal, Hover, Highlight, Selected, Disabled.
using Five = std::array<quint32, SWSTButtonLook::KindCount>;

constexpr Five all(quint32 v) {
    return {v, v, v, v, v};
}

constexpr Five disabledDiffers(quint32 v, quint32 disabled) {
    return {v, v, v, v, disabled};
}

// An attribute that has one key per look, such as "cornerHoverRadius" or "hoverTitleColor".
struct PerLook {
    const char* pattern;
    bool lowerCaseLook;
};

constexpr PerLook kCornerRadius{"corner%1Radius", false};
constexpr PerLook kBorderWidth{"border%1Width", false};
constexpr PerLook kBorderColor{"border%1Color", false};
constexpr PerLook kTitleColor{"%1TitleColor", true};
constexpr PerLook kImageColor{"%1ImageColor", true};
constexpr PerLook kBackgroundColor{"background%1Color", false};

QString lookKey(PerLook attribute, int kind) {
    static const std::array<QString, SWSTButtonLook::KindCount> names = {
        "Normal", "Hover", "Highlight", "Selected", "Disabled"};
    const QString& name = names[static_cast<size_t>(kind)];
    return QString::fromLatin1(attribute.pattern)
        .arg(attribute.lowerCaseLook ? name.toLower() : name);
}

QVariantMap widthHeight(int w, int h) {
    return {{"w", w}, {"h", h}};
}

// Writes one entry of the table.
class Entry {
public:
    Entry() {
        attributes_["hasBorder"] = 0;
        attributes_["canSelected"] = 1;
    }
    Entry& border() { return set("hasBorder", 1); }
    Entry& looks(PerLook attribute, const Five& values) {
        for (int kind = 0; kind < SWSTButtonLook::KindCount; ++kind)
            attributes_[lookKey(attribute, kind)] = values[static_cast<size_t>(kind)];
        return *this;
    }
    Entry& image(const char* name, int size) {
        attributes_["batch_crop"] = QString::fromLatin1(name);
        attributes_["imageSize"] = widthHeight(size, size);
        attributes_["imageBaselineMove"] = 0;
        return *this;
    }
    Entry& space(int space) { return set("space", space); }
    Entry& insets(int t, int l, int b, int r) {
        return set("btnInsects", QVariantMap{{"t", t}, {"l", l}, {"b", b}, {"r", r}});
    }
    Entry& size(int w, int h) { return set("BtnSize", widthHeight(w, h)); }
    Entry& centred() { return set("TitleCenter", 1); }
    Entry& title(const char* text) { return set("TitleContent", QString::fromUtf8(text)); }
    Entry& fontSize(int size) { return set("FontSize", size); }

    QVariantMap attributes() const { return attributes_; }

private:
    Entry& set(const char* key, const QVariant& value) {
        attributes_[QString::fromLatin1(key)] = value;
        return *this;
    }
    QVariantMap attributes_;
};

constexpr Five kToolBackgrounds = {0x00FFFFFF, 0x14FFFFFF, 0x28FFFFFF, 0x38FFFFFF, 0x00FFFFFF};
constexpr Five kIconBackgrounds = {0x00FFFFFF, 0x14FFFFFF, 0x28FFFFFF, 0x00FFFFFF, 0x00FFFFFF};
constexpr Five kAccentBackgrounds = {0xFF6477F7, 0xFF7384F7, 0xFF374EE8, 0xFF6477F7, 0xFF6477F7};
constexpr Five kAccentBackgroundsDimmed = {0xFF6477F7, 0xFF7384F7, 0xFF374EE8, 0xFF6477F7,
                                           0xFF2C2C2C};
constexpr Five kOutlineBorders = {0xFF616161, 0, 0, 0, 0};
constexpr Five kToggleTitles = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF};
constexpr Five kToggleBackgrounds = {0x00000000, 0xFF181818, 0xFF6477F7, 0xFF6477F7, 0x00000000};
constexpr Five kTabTitles = {0xFFD0D0D0, 0xFF6079F8, 0xFF6079F8, 0xFFFEFEFF, 0xFF686868};

// The main window's crop-mode and page range buttons: image and title on a light veil.
Entry toolButton(const char* image, const char* title) {
    return Entry()
        .looks(kCornerRadius, all(6))
        .looks(kBorderWidth, all(0))
        .looks(kTitleColor, disabledDiffers(0xFFD0D0D0, 0xFF686868))
        .looks(kImageColor, disabledDiffers(0xFFD0D0D0, 0xFF686868))
        .looks(kBackgroundColor, kToolBackgrounds)
        .image(image, 20)
        .space(2)
        .insets(4, 8, 4, 8)
        .title(title)
        .fontSize(12);
}

// Image-only buttons: page navigation and the start window's list buttons.
Entry iconButton(const char* image) {
    return Entry()
        .looks(kCornerRadius, all(2))
        .looks(kBorderWidth, all(0))
        .looks(kImageColor, disabledDiffers(0xFFD0D0D0, 0xFF6A686B))
        .looks(kBackgroundColor, kIconBackgrounds)
        .image(image, 22)
        .insets(2, 2, 2, 2);
}

Entry bar(int radius, quint32 border, quint32 background) {
    return Entry()
        .border()
        .looks(kCornerRadius, all(static_cast<quint32>(radius)))
        .looks(kBorderWidth, all(1))
        .looks(kBorderColor, all(border))
        .looks(kBackgroundColor, all(background));
}

// Outlined buttons of the sheets that fill with the accent colour when pressed or selected.
Entry outlineButton(int radius, int w, int h) {
    return Entry()
        .border()
        .looks(kCornerRadius, all(static_cast<quint32>(radius)))
        .looks(kBorderWidth, {1, 0, 0, 0, 0})
        .looks(kBorderColor, kOutlineBorders)
        .looks(kTitleColor, kToggleTitles)
        .looks(kBackgroundColor, kToggleBackgrounds)
        .size(w, h)
        .centred();
}

// Buttons filled with the accent colour.
Entry accentButton(int radius, const Five& titles, const Five& backgrounds, int w, int h,
                   const char* title, int fontSize) {
    return Entry()
        .looks(kCornerRadius, all(static_cast<quint32>(radius)))
        .looks(kTitleColor, titles)
        .looks(kBackgroundColor, backgrounds)
        .size(w, h)
        .centred()
        .title(title)
        .fontSize(fontSize);
}

// The sheets' accent buttons also carry a width and an (unshown) border colour.
Entry sheetAccentButton(int radius, const Five& titles, const Five& backgrounds, int w, int h,
                        const char* title, int fontSize) {
    return accentButton(radius, titles, backgrounds, w, h, title, fontSize)
        .looks(kBorderWidth, all(0))
        .looks(kBorderColor, kOutlineBorders);
}

Entry tabButton(const char* title) {
    return Entry().looks(kTitleColor, kTabTitles).centred().title(title).fontSize(13);
}

Entry thumbnailPart(const Five& backgrounds) {
    return Entry()
        .looks(kCornerRadius, all(4))
        .looks(kBorderWidth, all(0))
        .looks(kTitleColor, all(0xFFFFFFFF))
        .looks(kBackgroundColor, backgrounds)
        .insets(2, 5, 2, 5);
}

QVariantMap buildTable() {
    const quint32 white = 0xFFFFFFFF;
    const quint32 black = 0xFF000000;
    const Five whiteDimmed = disabledDiffers(white, 0xFF3D3E3E);
    const std::initializer_list<std::pair<const char*, Entry>> entries = {
        {"CustomCropBtn", toolButton("custom_crop", "Custom Crop")},
        {"BatchCropBtn", toolButton("batch_crop", "Batch Crop")},
        {"PageRangeBtn", toolButton("page_range", "Page Range")},
        {"FitContentBtn", toolButton("fit_content", "Fit to Content")},
        {"TopBar", bar(0, 0xFF444444, 0xFF2F2F2F)},
        {"BottomBar", bar(23, 0xFF444444, 0xFF2F2F2F)},
        {"BottomBarIn", bar(3, 0xFF434343, 0xFF191919)},
        {"FirstPageBtn", iconButton("first_page")},
        {"PreviousPageBtn", iconButton("previous_page")},
        {"NextPageBtn", iconButton("next_page")},
        {"LastPageBtn", iconButton("last_page")},
        {"ThumbPageLabel", thumbnailPart({0, 0, 0, 0xFF6477F7, 0}).fontSize(12)},
        {"ThumbBackView", thumbnailPart({0, 0, 0xFF6477F7, 0xFF6477F7, 0})},
        {"Range_Not_Custom_Btn", outlineButton(11, 180, 22).fontSize(11)},
        {"Range_Add_Btn", sheetAccentButton(6, all(black), kAccentBackgrounds, 28, 28, "+", 16)},
        {"Range_Cancel_Btn", outlineButton(14, 80, 28).title("Cancel").fontSize(13)},
        {"Range_Done_Btn", sheetAccentButton(14, disabledDiffers(black, 0xFF3D3E3E),
                                             kAccentBackgroundsDimmed, 80, 28, "Done", 13)},
        {"Setting_Range_Btn", tabButton("Page Range")},
        {"Setting_Output_Btn", tabButton("Output")},
        {"Setting_Encrypt_Btn", tabButton("Encrypt")},
        {"MainPanel_Save_Btn",
         accentButton(16, whiteDimmed, kAccentBackgroundsDimmed, 180, 32, "Done", 16)},
        {"MainPanel_Cancel_Btn",
         accentButton(16, whiteDimmed, {0xFF2C2B2C, 0xFF171818, 0xFF444444, 0xFF2C2B2C, 0xFF2C2C2C},
                      180, 32, "Revert All", 16)
             .border()
             .looks(kBorderWidth, all(1))
             .looks(kBorderColor, {0xFF454444, 0, 0, 0, 0xFF454444})},
        {"Decrypt_Cancel_Btn", outlineButton(14, 120, 28).title("Cancel").fontSize(13)},
        {"Decrypt_Done_Btn",
         sheetAccentButton(14, all(black), kAccentBackgrounds, 120, 28, "Done", 13)},
        {"OpenPanel_Save_Btn",
         accentButton(16, whiteDimmed, kAccentBackgroundsDimmed, 180, 32, "Open", 16)},
        {"OpenPanel_Edit_Btn", iconButton("edit")},
        {"OpenPanel_Clear_Btn", iconButton("clear")},
        {"OpenPanel_Delete_Btn", iconButton("delete")},
    };
    QVariantMap table;
    for (const auto& [name, entry] : entries)
        table.insert(QString::fromLatin1(name), entry.attributes());
    return table;
}

} // namespace

RMUIConfig& RMUIConfig::sharedInstance() {
    static RMUIConfig instance;
    return instance;
}

QVariantMap RMUIConfig::configDic() const {
    // A constant: built once, shared by every copy handed out.
    static const QVariantMap table = buildTable();
    return table;
}

namespace {

// Gives every look image tinted with that look's image colour.
void setLookImages(SWSTAnswerButton* button, const RMImage& image) {
    for (int kind = 0; kind < SWSTButtonLook::KindCount; ++kind) {
        const auto k = static_cast<SWSTButtonLook::Kind>(kind);
        SWSTButtonLook look = button->look(k);
        look.image = image.tinted(look.imageColor);
        button->setLook(k, look);
    }
}

} // namespace

void RMUIConfig::configButton(SWSTAnswerButton* button, const QString& key) const {
    const QVariantMap entry = configDic().value(key).toMap();
    const TVKSafeDictionary attributes(entry);
    const auto integer = [](const TVKSafeDictionary& map, const QString& name) {
        return TVKSafeDictionary::longLongValue(map.numberForKey(name));
    };
    const auto number = [&](const QString& name) { return integer(attributes, name); };
    const auto real = [&](const QString& name) { return static_cast<qreal>(number(name)); };
    const auto colour = [&](const QString& name) {
        return ColorHex::colorWithRGBA(static_cast<quint32>(number(name)));
    };
    const auto nested = [&](const char* name) {
        return TVKSafeDictionary(entry.value(name).toMap());
    };
    const auto size = [&](const char* name) {
        const TVKSafeDictionary wh = nested(name);
        return QSizeF(static_cast<qreal>(integer(wh, "w")), static_cast<qreal>(integer(wh, "h")));
    };

    // A byte, as the flag always was: only its low eight bits count.
    button->setHasBorder(static_cast<quint8>(number("hasBorder")) != 0);
    for (int kind = 0; kind < SWSTButtonLook::KindCount; ++kind) {
        const auto k = static_cast<SWSTButtonLook::Kind>(kind);
        SWSTButtonLook look = button->look(k);
        look.cornerRadius = real(lookKey(kCornerRadius, kind));
        look.borderWidth = real(lookKey(kBorderWidth, kind));
        look.borderColor = colour(lookKey(kBorderColor, kind));
        look.titleColor = colour(lookKey(kTitleColor, kind));
        look.imageColor = colour(lookKey(kImageColor, kind));
        look.backgroundColor = colour(lookKey(kBackgroundColor, kind));
        button->setLook(k, look);
    }
    button->setImageBaselineMove(number("imageBaselineMove"));
    button->setImageSize(size("imageSize"));
    button->setSpace(number("space"));
    const TVKSafeDictionary insets = nested("btnInsects");
    button->setBtnInsects(QMarginsF(
        static_cast<qreal>(integer(insets, "l")), static_cast<qreal>(integer(insets, "t")),
        static_cast<qreal>(integer(insets, "r")), static_cast<qreal>(integer(insets, "b"))));
    button->setBtnSize(size("BtnSize"));
    button->setTitleCenter(number("TitleCenter") == 1);

    if (const auto imageName = attributes.stringForKey("batch_crop")) {
        const RMImage image = RMImage::named(*imageName);
        button->setDefaultImage(image);
        setLookImages(button, image);
    }

    // The table's sizes come from a layout in which a point is one logical pixel; pixel sizes
    // keep the text in proportion to the fixed button sizes on every screen.
    QFont font = QApplication::font();
    if (const qint64 fontSize = number("FontSize"); fontSize > 0)
        font.setPixelSize(static_cast<int>(fontSize));
    button->setFont(font);
    button->setTitle(attributes.stringForKey("TitleContent").value_or(QString()));
}

void RMUIConfig::changeBtn(SWSTAnswerButton* button, const QString& imageName) const {
    const RMImage image = RMImage::named(imageName);
    button->setDefaultImage(image);
    setLookImages(button, image);
    button->updateButtonApperaceWithState(button->buttonState());
}
