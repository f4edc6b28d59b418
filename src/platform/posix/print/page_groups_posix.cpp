#include "platform/posix/print/page_groups_posix.hpp"

#include <qpdf/qpdf-c.h>

namespace platform::posix {

bool RemovePageGroups(std::string* pdf) {
    // qpdf's C interface: it keeps qpdf's exceptions inside, and its headers build with every
    // compiler the project uses.
    qpdf_data document = qpdf_init();
    qpdf_silence_errors(document);
    qpdf_set_suppress_warnings(document, QPDF_TRUE);
    // qpdf reads the document where it lies, for as long as it is open.
    bool edited = (qpdf_read_memory(document, "document", pdf->data(), pdf->size(), nullptr) &
                   QPDF_ERRORS) == 0;
    const int pages = edited ? qpdf_get_num_pages(document) : -1;
    edited = pages >= 0;
    for (int i = 0; i < pages; ++i) {
        qpdf_oh_remove_key(document, qpdf_get_page_n(document, i), "/Group");
    }
    // Streams cairo compressed are copied as they are; the cross-reference table is written
    // anew, so its offsets fit the shorter pages.
    edited = edited && (qpdf_init_write_memory(document) & QPDF_ERRORS) == 0 &&
             (qpdf_write(document) & QPDF_ERRORS) == 0 && !qpdf_has_error(document);
    if (edited) {
        std::string written(reinterpret_cast<const char*>(qpdf_get_buffer(document)),
                            qpdf_get_buffer_length(document));
        pdf->swap(written);
    }
    qpdf_cleanup(&document);
    return edited;
}

}  // namespace platform::posix
