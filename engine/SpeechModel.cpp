#include "SpeechModel.h"

#include <pocketsphinx.h>
#include <sphinxbase/jsgf.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sys/stat.h>

#ifndef LINTAVO_MODEL_DIR
#define LINTAVO_MODEL_DIR "/usr/share/pocketsphinx/model/en-us"
#endif

namespace {

const char* const kAlignSearch = "align";
// Alignment follows one sentence, so it has few paths and prunes none: a
// reading the acoustic model fits badly for a while (an accent) is still
// found rather than the search ending with no hypothesis.
constexpr double kAlignBeam = 1e-200;
constexpr double kAlignWordBeam = 1e-200;
// Grammar weights, on each word and on skipping it: a word that was said
// is not dropped lightly, a word that was not can still be left out.
// Stopping before the end of the sentence costs about as much as the
// decoder's weights can say (they are single-precision probabilities).
const char* const kStopWeight = "1e-30";

std::mutex g_sharedMutex;
std::string g_loadError;

// ps_set_jsgf_string of this PocketSphinx never frees the grammar it parsed,
// so every scoring leaked its alignment grammar; the same steps, freed.
bool setGrammar(ps_decoder_t* decoder, const char* search, const std::string& jsgf) {
    jsgf_t* grammar = jsgf_parse_string(jsgf.c_str(), nullptr);
    if (!grammar)
        return false;
    jsgf_rule_t* rule = jsgf_get_public_rule(grammar);
    fsg_model_t* fsg = rule ? jsgf_build_fsg(grammar, rule, ps_get_logmath(decoder),
                                             cmd_ln_float32_r(ps_get_config(decoder), "-lw"))
                            : nullptr;
    const bool ok = fsg && ps_set_fsg(decoder, search, fsg) >= 0;
    if (fsg)
        fsg_model_free(fsg); // the search keeps its own reference
    jsgf_grammar_free(grammar);
    return ok;
}

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// Dictionary names for aligned words: the phones themselves (unambiguous and
// bounded by the vocabulary, so the dictionary stops growing) plus the
// occurrence within the sentence, so repeated words stay distinguishable.
std::string phonesToName(const std::string& phones, int occurrence) {
    std::string name = "_";
    for (char c : phones)
        name += c == ' ' ? '_' : c;
    return name + "." + std::to_string(occurrence);
}

std::vector<std::string> splitPhones(const std::string& phones) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < phones.size()) {
        size_t j = phones.find(' ', i);
        if (j == std::string::npos)
            j = phones.size();
        if (j > i)
            out.push_back(phones.substr(i, j - i));
        i = j + 1;
    }
    return out;
}

} // namespace

std::shared_ptr<SpeechModel> SpeechModel::shared() {
    std::lock_guard<std::mutex> lock(g_sharedMutex);
    // Kept for the life of the process, every engine now or later uses it; never
    // destroyed, since an engine thread may still be scoring at exit.
    static auto* instance = new std::shared_ptr<SpeechModel>;
    if (*instance)
        return *instance;
    const char* env = std::getenv("LINTAVO_ENGINE_MODEL");
    std::string dir = env && *env ? env : LINTAVO_MODEL_DIR;
    std::shared_ptr<SpeechModel> model(new SpeechModel);
    if (!model->load(dir, g_loadError))
        return nullptr;
    *instance = model;
    return model;
}

std::string SpeechModel::loadError() {
    std::lock_guard<std::mutex> lock(g_sharedMutex);
    return g_loadError;
}

bool SpeechModel::load(const std::string& dir, std::string& error) {
    std::string hmm = dir + "/en-us", dict = dir + "/cmudict-en-us.dict";
    for (auto& path : {hmm, dict})
        if (!exists(path)) {
            error = "speech model file missing: " + path;
            return false;
        }
    // Noise removal and live mean normalisation keep statistics from one
    // utterance to the next, which would make a score depend on earlier
    // evaluations; silence removal would shift frames away from audio time.
    // The decoder scores each frame against its best senone; computing all
    // senones makes that the best of the whole model, so a phone's score says
    // how well it fits against anything it could have been, whatever else
    // the search had active. The silence model fits many sounds of a voice
    // the acoustic model knows badly better than their phones do: inserting
    // it costs much more than by default, so it does not swallow words.
    config_ =
        cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.c_str(), "-dict", dict.c_str(), "-logfn",
                    "/dev/null", "-remove_noise", "no", "-remove_silence", "no", "-cmn", "batch",
                    "-compallsen", "yes", "-bestpath", "no", "-silprob", "1e-7", nullptr);
    if (!config_) {
        error = "speech model configuration rejected";
        return false;
    }
    decoder_ = ps_init(config_);
    if (!decoder_) {
        error = "speech model could not be loaded from " + dir;
        return false;
    }
    return true;
}

SpeechModel::~SpeechModel() {
    if (decoder_)
        ps_free(decoder_);
    if (config_)
        cmd_ln_free_r(config_);
}

void SpeechModel::setBeams(double beam, double wordBeam) {
    // Searches read their beams from the configuration when they are created.
    // Beams are float options: they must be set as floats.
    cmd_ln_t* config = ps_get_config(decoder_);
    cmd_ln_set_float_r(config, "-beam", beam);
    cmd_ln_set_float_r(config, "-pbeam", beam);
    cmd_ln_set_float_r(config, "-wbeam", wordBeam);
}

std::vector<std::string> SpeechModel::pronunciations(const std::string& word) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> out;
    for (int variant = 1; variant < 10; ++variant) {
        std::string key = variant == 1 ? word : word + "(" + std::to_string(variant) + ")";
        char* phones = ps_lookup_word(decoder_, key.c_str());
        if (!phones)
            break;
        out.emplace_back(phones);
        std::free(phones);
    }
    return out;
}

std::string SpeechModel::wordFor(const std::string& phones, int occurrence) {
    std::string name = phonesToName(phones, occurrence);
    char* known = ps_lookup_word(decoder_, name.c_str());
    if (known)
        std::free(known);
    else if (ps_add_word(decoder_, name.c_str(), phones.c_str(), FALSE) < 0)
        return std::string();
    return name;
}

bool SpeechModel::decode(const std::vector<int16_t>& samples, const char* search) {
    if (ps_set_search(decoder_, search) < 0 || ps_start_utt(decoder_) < 0)
        return false;
    // One call with the whole utterance: cepstral means come from all of it.
    ps_process_raw(decoder_, samples.data(), samples.size(), FALSE, TRUE);
    return ps_end_utt(decoder_) >= 0;
}

std::vector<SpeechModel::Segment>
SpeechModel::align(const std::vector<int16_t>& samples,
                   const std::vector<std::vector<std::string>>& slots, bool mayStop) {
    std::lock_guard<std::mutex> lock(mutex_);
    // Each phone is a one-phone word of its own, so the decoder reports every
    // phone's frames and score; a word is the sequence of its phones, in one
    // of its pronunciations.
    std::map<std::string, Place> placeOfName;
    std::map<std::string, int> occurrences;
    std::map<std::string, int> positionOfName; // phone position in its pronunciation
    std::string rule, closing;
    for (size_t i = 0; i < slots.size(); ++i) {
        std::string alternatives;
        for (size_t v = 0; v < slots[i].size(); ++v) {
            std::string sequence;
            auto phones = splitPhones(slots[i][v]);
            for (size_t k = 0; k < phones.size(); ++k) {
                std::string name = wordFor(phones[k], occurrences[phones[k]]++);
                if (name.empty())
                    return {};
                placeOfName[name] = {static_cast<int>(i), static_cast<int>(v)};
                positionOfName[name] = static_cast<int>(k);
                sequence += " " + name;
            }
            if (!sequence.empty())
                alternatives += std::string(alternatives.empty() ? "" : " |") + sequence;
        }
        if (alternatives.empty())
            continue;
        if (mayStop) { // here, or after any later word
            rule += std::string(" ( /") + kStopWeight + "/ <NULL> | ( (" + alternatives + " )";
            closing += " ) )";
        } else {
            rule += " (" + alternatives + " )";
        }
    }
    auto out = decodeRule(samples, kAlignSearch, rule + closing, placeOfName);
    for (auto& s : out)
        if (s.slot >= 0) {
            s.phone = positionOfName[s.label];
            s.label = s.label.substr(1, s.label.find('.') - 1); // "_AH.3" is AH
        }
    return out;
}

std::vector<SpeechModel::Segment>
SpeechModel::decodeRule(const std::vector<int16_t>& samples, const char* search,
                        const std::string& rule, const std::map<std::string, Place>& places) {
    std::vector<Segment> out;
    if (rule.empty())
        return out;
    std::string jsgf = "#JSGF V1.0;\ngrammar lintavo;\npublic <s> =" + rule + " ;\n";
    setBeams(kAlignBeam, kAlignWordBeam);
    if (!setGrammar(decoder_, search, jsgf) || !decode(samples, search))
        return out;
    out = segments();
    for (auto& s : out) {
        auto it = places.find(s.label);
        if (it != places.end()) {
            s.slot = it->second.first;
            s.variant = it->second.second;
        }
    }
    return out;
}

std::vector<SpeechModel::Segment> SpeechModel::segments() {
    std::vector<Segment> out;
    for (ps_seg_t* seg = ps_seg_iter(decoder_); seg; seg = ps_seg_next(seg)) {
        Segment s;
        s.label = ps_seg_word(seg);
        ps_seg_frames(seg, &s.startFrame, &s.endFrame);
        int32 ascr = 0, lscr = 0, lback = 0;
        ps_seg_prob(seg, &ascr, &lscr, &lback);
        s.acoustic = ascr;
        out.push_back(s);
    }
    return out;
}
