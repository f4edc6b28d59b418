#include "platform/posix/print/page_groups_posix.hpp"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <memory>

namespace platform::posix {

bool RemovePageGroups(std::string* pdf) {
    // qpdf reports damage by throwing; none of that may leave the backend.
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        document.processMemoryFile("document", pdf->data(), pdf->size());
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(document).getAllPages()) {
            page.getObjectHandle().removeKey("/Group");
        }
        QPDFWriter writer(document);
        writer.setOutputMemory();
        // Streams cairo compressed are copied as they are; the cross-reference table is
        // written anew, so its offsets fit the shorter pages.
        writer.write();
        const std::unique_ptr<Buffer> written(writer.getBuffer());
        pdf->assign(reinterpret_cast<const char*>(written->getBuffer()), written->getSize());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace platform::posix
