#include "TempoSink.h"

#include <QByteArray>
#include <QDebug>

#ifdef LINTAVO_HAVE_GSTREAMER
#include <gst/gst.h>

namespace {
// What Qt's GStreamer player uses as its audio sink, by element name.
const char* const kSinkVariable = "QT_GSTREAMER_PLAYBIN_AUDIOSINK";
const char* const kElement = "lintavotemposink";

struct TempoBin {
    GstBin parent;
};
struct TempoBinClass {
    GstBinClass parent;
};

G_DEFINE_TYPE(TempoBin, tempo_bin, GST_TYPE_BIN)

void tempo_bin_class_init(TempoBinClass* klass) {
    gst_element_class_set_static_metadata(
        GST_ELEMENT_CLASS(klass), "Lintavo tempo audio sink", "Sink/Audio",
        "Plays audio at the stream's rate, keeping its pitch", "Lintavo");
}

// scaletempo ! audioconvert ! audioresample ! autoaudiosink, with converters
// in front because scaletempo takes only some sample formats.
void tempo_bin_init(TempoBin* self) {
    GstElement* in = gst_element_factory_make("audioconvert", nullptr);
    GstElement* tempo = gst_element_factory_make("scaletempo", nullptr);
    GstElement* out = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* sink = gst_element_factory_make("autoaudiosink", nullptr);
    gst_bin_add_many(GST_BIN(self), in, tempo, out, resample, sink, nullptr);
    gst_element_link_many(in, tempo, out, resample, sink, nullptr);
    GstPad* pad = gst_element_get_static_pad(in, "sink");
    gst_element_add_pad(GST_ELEMENT(self), gst_ghost_pad_new("sink", pad));
    gst_object_unref(pad);
}

bool hasElements() {
    for (const char* name : {"scaletempo", "audioconvert", "audioresample", "autoaudiosink"}) {
        GstElementFactory* factory = gst_element_factory_find(name);
        if (!factory) {
            qDebug() << "TempoSink: no" << name << "element; rates change the pitch";
            return false;
        }
        gst_object_unref(factory);
    }
    return true;
}
} // namespace

const char* TempoSink::install() {
    static const bool installed = [] {
        // Someone who set their own sink keeps it.
        if (qEnvironmentVariableIsSet(kSinkVariable))
            return false;
        if (!gst_init_check(nullptr, nullptr, nullptr) || !hasElements())
            return false;
        if (!gst_element_register(nullptr, kElement, GST_RANK_NONE, tempo_bin_get_type()))
            return false;
        qputenv(kSinkVariable, kElement);
        return true;
    }();
    return installed ? kElement : "";
}
#else
const char* TempoSink::install() {
    return "";
}
#endif
