// The XScreenSaver description of the hack, made from the option table so that the sliders'
// ranges, the defaults and the lists' entries are those of the key table and the options dialog.
#include "saver/config/options_rules.h"
#include "saver/config/product.h"
#include "saver/x11/hack_options.h"

namespace vellora::hack {

namespace {

const SettingOption& OptionFor(Setting id) {
    for (const SettingOption& option : SettingOptions())
        if (option.setting == id) return option;
    return SettingOptions()[0];
}

// A slider over the dialog's range, its ends labelled as the dialog's value box shows them. Its default is the key table's, even where that lies below
// the range ("RefreshRate" 1): the slider then sits at the low end, as the dialog's does, and
// only a value the user confirms is written to the command line.
std::string Slider(Setting id, const char* indent) {
    const SettingOption& option = OptionFor(id);
    const SettingDef& def = DefOf(id);
    const std::string name = option.name;
    return std::string(indent) + "<number id=\"" + name + "\" type=\"slider\" arg=\"--" + name + " %\"\n" + indent +
           "        _label=\"" + option.label + "\" _low-label=\"" + ValueBoxText(id, def.dialogMin) +
           "\" _high-label=\"" + ValueBoxText(id, def.dialogMax) + "\"\n" + indent + "        low=\"" +
           std::to_string(def.dialogMin) + "\" high=\"" + std::to_string(def.dialogMax) + "\" default=\"" +
           std::to_string(def.defaultValue) + "\"/>\n";
}

// A list: the default entry writes nothing, every other one its option.
std::string List(Setting id, const char* indent) {
    const SettingOption& option = OptionFor(id);
    const SettingDef& def = DefOf(id);
    std::string xml = std::string(indent) + "<select id=\"" + option.name + "\">\n";
    for (int i = 0; i < option.choiceCount; ++i) {
        const Choice& choice = option.choices[i];
        xml += std::string(indent) + " <option id=\"" + choice.name + "\" _label=\"" + option.label + ": " +
               choice.label + "\"";
        if (i != def.defaultValue) xml += std::string(" arg-set=\"--") + option.name + " " + choice.name + "\"";
        xml += "/>\n";
    }
    return xml + indent + "</select>\n";
}

}  // namespace

std::string XScreenSaverConfigXml() {
    const char* in = "    ";
    // Laid out as the options dialog is: the balls and the frame timing on the left, the scenario
    // on the right.
    return std::string("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n\n") + "<screensaver name=\"vellora\" _label=\"" +
           kDisplayName + "\">\n\n" + "  <command arg=\"--root\"/>\n\n" + "  <hgroup>\n" + "   <vgroup>\n" +
           Slider(Setting::NumBalls, in) + Slider(Setting::Velocity, in) + Slider(Setting::BallSize, in) +
           List(Setting::BallSizeSel, in) + Slider(Setting::Gravity, in) + List(Setting::Sparks, in) +
           Slider(Setting::ScenarioCounter, in) + Slider(Setting::RefreshRate, in) + "   </vgroup>\n" +
           "   <vgroup>\n" + List(Setting::Game, in) + Slider(Setting::Colors, in) + "   </vgroup>\n" +
           "  </hgroup>\n\n" +
           "  <_description>\n"
           "Coloured balls bounce off the screen edges and off each other under adjustable gravity,\n"
           "throw white sparks when they collide, and change colour on contact according to the\n"
           "scenario in force.\n\n"
           "https://vellora.example/\n"
           "  </_description>\n"
           "</screensaver>\n";
}

}  // namespace vellora::hack
