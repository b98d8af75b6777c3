// The pilots' manual as the generator writes it, checked against the native modules through the
// bench; the checks shown to catch each fault planted in a copy; and the strict HTML reader.
#include "panel_version.h"
#include "tests/tools/manual/html_reader.h"
#include "tests/tools/manual/manual_check.h"
#include "tests/tools/manual/module_facts.h"
#include "tests/support/panelhost_runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <regex>
#include <sys/wait.h>

namespace {

using manual_test::ManualFacts;
using test_support::read_text_file;

// The generator run into the build tree, under a name of the test's own (tests run side by side).
std::string generate(const std::string& name)
{
    std::string path = std::string(MANUAL_BUILD_DIR) + "/" + name;
    std::remove(path.c_str());   // a run that fails leaves nothing to check
    std::string command = test_support::out_dir() + "/manual '" + path + "'";
    int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << " ended with " << status;
    return read_text_file(path);
}

const ManualFacts& facts()
{
    static const ManualFacts facts = [] {
        ManualFacts gathered;
        gathered.version = PANEL_VERSION_TEXT;
        gathered.gauges.push_back(manual_test::gauge_facts("radio", "radio.so", "tuneset"));
        gathered.gauges.push_back(manual_test::gauge_facts("autopilot", "autohelm.so", "autohelm.gau"));
        gathered.example_panel = read_text_file(std::string(PANEL_SOURCE_DIR) + "/tools/release/panel.cfg");
        gathered.messages = manual_test::radio_messages();
        const std::string gauges_doc = read_text_file(std::string(PANEL_SOURCE_DIR) + "/docs/gauges.md");
        gathered.wine = manual_test::gauges_doc_wine_rows(gauges_doc);
        gathered.readme = read_text_file(std::string(PANEL_SOURCE_DIR) + "/tools/release/README.txt");
        for (std::size_t at = gathered.readme.find("@VERSION@"); at != std::string::npos;
             at = gathered.readme.find("@VERSION@", at))
            gathered.readme.replace(at, 9, PANEL_VERSION_TEXT);
        return gathered;
    }();
    return facts;
}

std::string all_lines(const std::vector<std::string>& faults)
{
    std::string text;
    for (const std::string& fault : faults)
        text += "  " + fault + "\n";
    return text;
}

TEST(Manual, TwoRunsWriteTheSameBytes)
{
    std::string first = generate("Manual-first.html");
    std::string second = generate("Manual-second.html");
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == second) << "the two runs differ from byte "
                                 << std::distance(first.begin(), std::mismatch(first.begin(), first.end(),
                                                                               second.begin(), second.end()).first);
}

TEST(Manual, AgreesWithTheModules)
{
    std::string html = generate("Manual.html");
    ASSERT_FALSE(html.empty());
    std::vector<std::string> faults = manual_test::check_manual(html, facts());
    EXPECT_TRUE(faults.empty()) << "the manual departs from the modules:\n" << all_lines(faults);
}

// ---- the checks find what is wrong ----

struct Planted {
    const char* name;
    std::function<bool(std::string&)> plant;   // false: the manual has nothing to plant it in
    const char* expected;                     // words of the fault the checks must report
};

std::function<bool(std::string&)> replace_first(std::string from, std::string to)
{
    return [from, to](std::string& html) {
        std::size_t at = html.find(from);
        if (at == std::string::npos)
            return false;
        html.replace(at, from.size(), to);
        return true;
    };
}

std::function<bool(std::string&)> insert_before(std::string anchor, std::string text)
{
    return replace_first(anchor, text + anchor);
}

// The table row of hot spot N in the first controls table, with its line end.
std::function<bool(std::string&)> edit_row(int number, bool twice)
{
    return [number, twice](std::string& html) {
        std::smatch row;
        std::regex pattern("<tr><td class=\"number\">" + std::to_string(number) + "</td>.*?</tr>\n");
        if (!std::regex_search(html, row, pattern))
            return false;
        std::string text = row.str();
        html.replace(static_cast<std::size_t>(row.position()), text.size(), twice ? text + text : "");
        return true;
    };
}

// The base64 of the radio's controls picture replaced by that of its first state picture.
bool swap_controls_picture(std::string& html)
{
    auto source_after = [&](const std::string& marker) -> std::pair<std::size_t, std::size_t> {
        std::size_t at = html.find(marker);
        std::size_t start = at == std::string::npos ? at : html.find("src=\"", at);
        if (start == std::string::npos)
            return {std::string::npos, 0};
        start += 5;
        return {start, html.find('"', start) - start};
    };
    auto controls = source_after("<img class=\"controls\"");
    auto state = source_after("<img class=\"state ");
    if (controls.first == std::string::npos || state.first == std::string::npos)
        return false;
    std::string replacement = html.substr(state.first, state.second);
    html.replace(controls.first, controls.second, replacement);
    return true;
}

// Forty characters out of the middle of the first picture's base64: it no longer decodes.
bool break_first_picture(std::string& html)
{
    std::size_t start = html.find("base64,");
    if (start == std::string::npos)
        return false;
    html.erase(start + 2000, 40);
    return true;
}

TEST(ManualChecks, FindEveryFaultPlantedInACopy)
{
    const Planted cases[] = {
        {"a tooltip edited", replace_first(">FM Radio Preset 4<", ">FM Radio Preset 7<"),
         "hot spot 9: the tooltip text:FM Radio Preset 7 is not one the module composes there"},
        {"a tooltip state left out", replace_first("<br><q class=\"tooltip\">Power On/Off (on)</q> when on", ""),
         "hot spot 1: the module's tooltip text:Power On/Off (on) is missing"},
        {"a tooltip quoted in the prose that no hot spot composes",
         insert_before("</main>", "<p><q class=\"tooltip\">Power Off</q></p>"), "which no hot spot composes"},
        {"a help id changed", replace_first("<code>0xA42F</code>", "<code>0xA42E</code>"),
         "the tooltip help:0xA42E is not one the module composes there"},
        {"a row dropped", edit_row(7, false), "hot spot 7 appears 0 times"},
        {"a row twice", edit_row(3, true), "hot spot 3 appears 2 times"},
        {"a row numbered past the hot spots", replace_first("<td class=\"number\">16</td>", "<td class=\"number\">17</td>"),
         "\"17\" is no hot spot's number (1 to 16)"},
        {"a cursor changed", replace_first("<td class=\"cursor\">down arrow</td>", "<td class=\"cursor\">hand</td>"),
         "the pointer reads \"hand\", the row's cursor is the down arrow"},
        {"the controls picture not the numbered one", swap_controls_picture,
         "the controls picture is not the bench's numbered picture"},
        {"a picture that does not decode", break_first_picture, "does not decode as a PNG"},
        {"a picture's size misstated", replace_first("width=\"476\" height=\"147\"", "width=\"470\" height=\"147\""),
         "is 476 x 147, its size attributes say 470 x 147"},
        {"a picture from the network", insert_before("</main>", "<img src=\"https://example.org/a.png\" alt=\"a\">"),
         "a network reference"},
        {"a link out of the file", insert_before("</main>", "<p><a href=\"manual.css\">style</a></p>"),
         "not a link to a place in the manual itself"},
        {"a link to a place that is not there", replace_first("href=\"#wine\"", "href=\"#mixer\""),
         "not a link to a place in the manual itself"},
        {"a stylesheet's picture fetched", replace_first("body {", "body { background: url(paper.png);"),
         "a url( that is not inline data"},
        {"a stylesheet imported", replace_first("<style>", "<style>@import \"print.css\";"), "@import"},
        {"a script", insert_before("</body>", "<script>document.title = 'x';</script>"), "<script>"},
        {"the version missing from the title", replace_first("<title>Panel gauges ", "<title>Panel gauge "),
         "the title is not"},
        {"the version missing from the heading", replace_first("<h1>Panel gauges ", "<h1>Gauges "),
         "the first heading is not"},
        {"an element left open", replace_first("</table>", ""), "closes no open element (the open one is <table>)"},
        {"an end tag that closes nothing", insert_before("</main>", "</div>"), "</div> closes no open element"},
        {"an unknown character reference", replace_first("&times;", "&mult;"), "an unknown character reference"},
        {"the example panel edited",
         replace_first("gauge01=autohelm!autohelm.gau, 10, 170", "gauge01=autohelm!autohelm.gau, 10, 171"),
         "the example panel section is not the release's example panel file"},
        {"a message misspelt", replace_first(">Unable to open Mixer Controls.<", ">Unable to open Mixer Control.<"),
         "the radio's message \"Unable to open Mixer Controls.\" (title \"Volume Control Error\") is not in the messages table"},
        {"a message's title changed", replace_first(">MCI Error<", ">CD Error<"),
         "the message \"Audio CD Not Installed\" (title \"CD Error\") is not one the radio shows"},
        {"a song's message left out", replace_first(", <q class=\"message\">song3 not installed</q>", ""),
         "the radio's message \"song3 not installed\" (title \"\") is not in the messages table"},
        {"a Wine figure changed", replace_first("29 threads, 70 MB", "29 threads, 71 MB"),
         "the Wine figures are not the measured ones"},
        {"a song format's package left out", replace_first(" and gstreamer1.0-libav", ""),
         "the manual's \"Running the simulator under Wine\" is not the pilots' readme's words"},
        {"where the songs go said otherwise", replace_first("the folder the simulator runs in", "the Gauges folder"),
         "the manual's \"Installing, in four steps\" is not the pilots' readme's words"},
    };
    const std::string manual = generate("Manual-planted.html");
    ASSERT_FALSE(manual.empty());
    ASSERT_TRUE(manual_test::check_manual(manual, facts()).empty()) << "the manual itself must pass first";
    for (const Planted& c : cases) {
        std::string copy = manual;
        if (!c.plant(copy)) {
            ADD_FAILURE() << c.name << ": the manual has nothing to plant the fault in";
            continue;
        }
        std::vector<std::string> faults = manual_test::check_manual(copy, facts());
        bool found = false;
        for (const std::string& fault : faults)
            found = found || fault.find(c.expected) != std::string::npos;
        EXPECT_TRUE(found) << c.name << ": expected a fault with \"" << c.expected << "\", the checks reported:\n"
                           << all_lines(faults);
    }
}

// ---- what the checks stand on ----

TEST(ModuleFacts, TheRadiosTooltipsAreWalkedIntoEveryState)
{
    const manual_test::GaugeFacts& radio = facts().gauges[0];
    ASSERT_EQ(radio.hot_spots.size(), 16u);
    struct Case {
        const char* name;
        std::size_t number;
        std::set<std::string> tooltips;
    } cases[] = {
        {"power", 1, {"text:Power On/Off (off)", "text:Power On/Off (on)"}},
        {"door", 2, {"text:Open/Close CD Door"}},
        {"preset 4", 9, {"text:CD Player Track 4", "text:FM Radio Preset 4", "text:AM Radio Preset 4"}},
        {"pause", 16, {"text:Pause On/Off (off)", "text:Pause On/Off (on)"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(radio.hot_spots[c.number - 1].tooltips, c.tooltips) << c.name;
}

TEST(ModuleFacts, TheAutopilotsHotSpotsCarryHelpIds)
{
    const manual_test::GaugeFacts& autopilot = facts().gauges[1];
    ASSERT_EQ(autopilot.hot_spots.size(), 5u);
    std::set<std::string> knob = {"help:0xA42F"};
    EXPECT_EQ(autopilot.hot_spots[0].tooltips, knob) << "the knob's left half";
    EXPECT_EQ(autopilot.hot_spots[1].tooltips, knob) << "the knob's right half";
}

TEST(ModuleFacts, TheRadiosMessagesAreTheSongsTheDiscAndTheMixer)
{
    std::set<manual_test::Message> expected = {
        {"Audio CD Not Installed", "MCI Error"},
        {"Unable to close Mixer Controls.", "Volume Control Error"},
        {"Unable to open Mixer Controls.", "Volume Control Error"},
    };
    for (int song = 1; song <= 6; ++song)
        expected.insert({"song" + std::to_string(song) + " not installed", ""});
    EXPECT_TRUE(facts().messages == expected) << facts().messages.size() << " messages";
}

TEST(ModuleFacts, TheReadmesWineTableIsRead)
{
    const std::string doc = "intro\n\nRunning the simulator under Wine. Text.\n\n"
                               "| songs in `Sound` | after one | after two |\n|---|---|---|\n"
                               "| none | 4 threads, 32 MB | 5 threads |\n| all six as `.mp3` | 29 threads | 30 |\n\nAfter.\n";
    std::vector<std::vector<std::string>> expected = {{"none", "4 threads, 32 MB", "5 threads"},
                                                      {"all six as .mp3", "29 threads", "30"}};
    EXPECT_EQ(manual_test::gauges_doc_wine_rows(doc), expected);
    EXPECT_TRUE(manual_test::gauges_doc_wine_rows("no such paragraph\n| songs in | x |\n").empty());
}

TEST(ModuleFacts, AReadmeSectionsWordsAreReadUpToTheNextHeading)
{
    const std::string readme = "Title\n=====\n\nFirst\n-----\n\n1. Copy  the\n   files.\n\n       code line\n\n"
                               "Second\n------\n\nOther words.\n";
    EXPECT_EQ(manual_test::readme_section_words(readme, "First"), "Copy the files. code line");
    EXPECT_EQ(manual_test::readme_section_words(readme, "Second"), "Other words.");
    EXPECT_EQ(manual_test::readme_section_words(readme, "Third"), "");
}

TEST(Base64, DecodesPaddedTextAndRefusesTheRest)
{
    struct Case {
        const char* name;
        const char* text;
        bool reads;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"empty", "", true, {}},
        {"three bytes", "TWFu", true, {'M', 'a', 'n'}},
        {"two bytes and one pad", "TWE=", true, {'M', 'a'}},
        {"one byte and two pads", "TQ==", true, {'M'}},
        {"the last digits", "+/+/", true, {0xFB, 0xFF, 0xBF}},
        {"a length that is no group", "TWF", false, {}},
        {"a character outside the alphabet", "TW-u", false, {}},
        {"a pad inside the text", "TQ==TWFu", false, {}},
        {"a digit after a pad", "TQ=u", false, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes;
        EXPECT_EQ(manual_test::decode_base64(c.text, bytes), c.reads) << c.name;
        if (c.reads) {
            EXPECT_EQ(bytes, c.bytes) << c.name;
        }
    }
}

TEST(HtmlReader, ReadsElementsAttributesAndReferences)
{
    manual_test::Node root;
    std::string error;
    ASSERT_TRUE(manual_test::read_html("<!DOCTYPE html>\n<!-- a comment -->\n<p class=\"a b\" id=x>one &amp; "
                                       "<q>two&nbsp;&#8217;&#x41;</q><br><img src='s' alt=\"&quot;\"/></p>"
                                       "<style>p < q { }</style>",
                                       root, error))
        << error;
    std::vector<const manual_test::Node*> paragraphs = manual_test::find_all(root, "p");
    ASSERT_EQ(paragraphs.size(), 1u);
    EXPECT_TRUE(paragraphs[0]->has_class("a"));
    EXPECT_TRUE(paragraphs[0]->has_class("b"));
    EXPECT_FALSE(paragraphs[0]->has_class("a b"));
    EXPECT_EQ(paragraphs[0]->attribute("id"), "x");
    EXPECT_EQ(paragraphs[0]->inner_text(), "one & two\xC2\xA0\xE2\x80\x99" "A");
    std::vector<const manual_test::Node*> images = manual_test::find_all(root, "img");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0]->attribute("alt"), "\"");
    EXPECT_EQ(manual_test::find_all(root, "style")[0]->inner_text(), "p < q { }") << "a style's text is raw";
}

TEST(HtmlReader, RefusesWhatDoesNotRead)
{
    struct Case {
        const char* name;
        const char* html;
        const char* error;
    } cases[] = {
        {"an element left open", "<div><p>text</p>", "line 1: <div> is not closed"},
        {"elements crossed", "<b><i>x</b></i>", "</b> closes no open element (the open one is <i>)"},
        {"an end tag alone", "text\n</p>", "line 2: </p> closes no open element"},
        {"a bare ampersand", "<p>a & b</p>", "an ampersand that begins no character reference"},
        {"an unknown reference", "<p>&copy;</p>", "an unknown character reference: &copy;"},
        {"a numeric reference without digits", "<p>&#x;</p>", "a numeric character reference that does not read"},
        {"a quoted value left open", "<img alt=\"x>", "the value of alt in <img> is not closed"},
        {"an attribute twice", "<img alt=a alt=b>", "has two alt attributes"},
        {"a comment left open", "<!-- x", "a comment is not closed"},
        {"a style left open", "<style>p {}", "<style> is not closed"},
        {"a lone angle bracket", "<p>1 < 2</p>", "a \"<\" that begins no tag"},
    };
    for (const Case& c : cases) {
        manual_test::Node root;
        std::string error;
        EXPECT_FALSE(manual_test::read_html(c.html, root, error)) << c.name;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
    }
}

}  // namespace
