/* Plug-ins for the tests, one source built several ways:
 *   TP_MARKER   a constructor appends the library's name to the file named by
 *               FOTELLO_PLUGIN_MARKER, so a test sees whether it was loaded
 *   TP_NO_ENTRY the entry point is left out
 *   TP_VERSION  the contract version the class claims
 *   TP_RUN      what run() does: 0 writes "executado" to the status line and
 *               returns no text; 1 fails with "Disco cheio"; 2 reports what the
 *               host's property calls answered
 * Plain C, so the contract header is proved to be C. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "plugins/fotello_plugin.h"

#ifndef TP_VERSION
#define TP_VERSION FOTELLO_PLUGIN_ABI_VERSION
#endif

#ifdef TP_MARKER
__attribute__((constructor)) static void loaded(void) {
    const char* marker = getenv("FOTELLO_PLUGIN_MARKER");
    FILE* f = marker ? fopen(marker, "a") : NULL;
    if (f) {
        fputs(TP_MARKER "\n", f);
        fclose(f);
    }
}
#endif

struct fotello_plugin {
    char text[512];
};

static fotello_plugin* create(void) {
    return calloc(1, sizeof(fotello_plugin));
}

static const char* identify(fotello_plugin* self) {
    snprintf(self->text, sizeof self->text, "%s", TP_CAPTION);
    return self->text;
}

static int run(fotello_plugin* self, const fotello_host* host, const char** text) {
#if TP_RUN == 0
    (void)self;
    host->set_property(host, "lblStat", "text", "executado");
    *text = "";
    return 0;
#elif TP_RUN == 1
    (void)host;
    snprintf(self->text, sizeof self->text, "Disco cheio");
    *text = self->text;
    return 1;
#else
    char name[64] = "";
    char cut[4] = "";
    const long long whole =
        (long long)host->get_property(host, "lblNome", "text", name, sizeof name);
    const int wrote = host->set_property(host, "lblStat", "text", "Olá, mundo");
    const long long status =
        (long long)host->get_property(host, "lblStat", "text", cut, sizeof cut);
    const int visible = host->set_property(host, "lblStat", "visible", "false");
    const int missing = host->set_property(host, "naoExiste", "text", "x");
    const int unknown = host->set_property(host, "lblStat", "naoExiste", "x");
    const int readOnly = host->set_property(host, "File1", "path", "/");
    const int badNumber = host->set_property(host, "vScroll1", "value", "muito");
    const int number = host->set_property(host, "vScroll1", "value", "70");
    const long long noName = (long long)host->get_property(host, "naoExiste", "text", NULL, 0);
    snprintf(self->text, sizeof self->text,
             "nome=%s/%lld escrita=%d status=%s/%lld visivel=%d faltando=%d desconhecida=%d "
             "somente_leitura=%d numero_ruim=%d numero=%d sem_controle=%lld",
             name, whole, wrote, cut, status, visible, missing, unknown, readOnly, badNumber,
             number, noName);
    *text = self->text;
    return 0;
#endif
}

static void destroy(fotello_plugin* self) {
    free(self);
}

#ifndef TP_NO_ENTRY
static const fotello_plugin_class kClass = {
    TP_VERSION, sizeof(fotello_plugin_class), create, identify, run, destroy};

const fotello_plugin_class* fotello_plugin_class_named(const char* class_name,
                                                       uint32_t host_abi_version) {
    (void)host_abi_version;
    return strcmp(class_name, "clsPluginInterface") == 0 ? &kClass : NULL;
}
#else
/* Something to call, so the library is more than its constructor. */
FOTELLO_PLUGIN_EXPORT const fotello_plugin_class* other_entry(void) {
    (void)create;
    (void)identify;
    (void)run;
    (void)destroy;
    return NULL;
}
#endif
