#include "platform/Archive.h"

#include "platform/Stream.h"

#include <gtest/gtest.h>

namespace {

// A small serialisable class: a name and an optional child object.
class CNode : public CObject {
public:
    static const CRuntimeClass kClass;
    static CObject* Create() { return new CNode; }
    const CRuntimeClass* GetRuntimeClass() const override { return &kClass; }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << name;
            ar.WriteObject(child.get());
        } else {
            ar >> name;
            schemaSeen = ar.GetObjectSchema();
            std::unique_ptr<CObject> read = ar.ReadObject();
            child.reset(dynamic_cast<CNode*>(read.release()));
        }
    }
    std::string name;
    std::unique_ptr<CNode> child;
    uint16_t schemaSeen = 0;
};
const CRuntimeClass CNode::kClass = {"CNode", 1, true, &CNode::Create};

std::vector<unsigned char> Bytes(std::initializer_list<int> list)
{
    std::vector<unsigned char> v;
    for (int b : list)
        v.push_back(static_cast<unsigned char>(b));
    return v;
}

} // namespace

TEST(Archive, ObjectTagsNumberClassesAndObjectsTogether)
{
    CRuntimeClass::Register(&CNode::kClass);
    CNode root;
    root.name = "a";
    root.child = std::make_unique<CNode>();
    root.child->name = "b";

    CMemoryStream stream;
    {
        CArchive ar(stream, CArchive::store);
        ar.WriteObject(&root);
        ar.WriteObject(nullptr);
    }
    // class CNode is number 1, root 2; the child's class tag refers to 1.
    const auto expected = Bytes({0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00, 'C', 'N', 'o', 'd', 'e', 0x01, 'a',
                                 0x01, 0x80, 0x01, 'b', 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(stream.Data(), expected);

    stream.Seek(0);
    CArchive in(stream, CArchive::load);
    std::unique_ptr<CObject> read = in.ReadObject();
    auto* node = dynamic_cast<CNode*>(read.get());
    ASSERT_TRUE(node);
    EXPECT_EQ(node->name, "a");
    ASSERT_TRUE(node->child);
    EXPECT_EQ(node->child->name, "b");
    EXPECT_EQ(node->child->schemaSeen, 1);
    EXPECT_FALSE(in.ReadObject());
}

TEST(Archive, StringAndCountPrefixesAtTheirBoundaries)
{
    struct Case {
        size_t length;
        std::vector<unsigned char> prefix;
    };
    const Case strings[] = {
        {0, Bytes({0x00})},
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {65533, Bytes({0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
    };
    for (const Case& c : strings) {
        CMemoryStream stream;
        CArchive out(stream, CArchive::store);
        std::string text(c.length, 'x');
        out << text;
        std::vector<unsigned char> head(stream.Data().begin(), stream.Data().begin() + c.prefix.size());
        EXPECT_EQ(head, c.prefix) << c.length;
        EXPECT_EQ(stream.Data().size(), c.prefix.size() + c.length);
        stream.Seek(0);
        CArchive in(stream, CArchive::load);
        std::string back;
        in >> back;
        EXPECT_EQ(back, text);
    }
    const Case counts[] = {
        {0xFFFE, Bytes({0xFE, 0xFF})},
        {0xFFFF, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
    };
    for (const Case& c : counts) {
        CMemoryStream stream;
        CArchive out(stream, CArchive::store);
        out.WriteCount(static_cast<uint32_t>(c.length));
        EXPECT_EQ(stream.Data(), c.prefix);
        stream.Seek(0);
        CArchive in(stream, CArchive::load);
        EXPECT_EQ(in.ReadCount(0), c.length);
    }
}

TEST(Archive, MalformedInputRaisesArchiveErrors)
{
    CRuntimeClass::Register(&CNode::kClass);
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        CArchiveException::Cause cause;
    };
    const Case cases[] = {
        {"unknown class", Bytes({0xFF, 0xFF, 0x01, 0x00, 0x04, 0x00, 'C', 'F', 'o', 'o'}), CArchiveException::badClass},
        {"truncated name", Bytes({0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00, 'C', 'N'}), CArchiveException::endOfFile},
        {"truncated record", Bytes({0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00, 'C', 'N', 'o', 'd', 'e', 0x05, 'a'}),
         CArchiveException::endOfFile},
        {"class index never seen", Bytes({0x05, 0x80}), CArchiveException::badIndex},
        {"back reference", Bytes({0x01, 0x00}), CArchiveException::badIndex},
        {"huge string", Bytes({0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00, 'C', 'N', 'o', 'd', 'e', 0xFF, 0xFF, 0xFF, 0xFF,
                               0xFF, 0x7F}),
         CArchiveException::endOfFile},
        {"long class name", Bytes({0xFF, 0xFF, 0x01, 0x00, 0x40, 0x00}), CArchiveException::badClass},
        {"empty", Bytes({}), CArchiveException::endOfFile},
    };
    for (const Case& c : cases) {
        CMemoryStream stream(c.bytes, false);
        CArchive in(stream, CArchive::load);
        try {
            in.ReadObject();
            ADD_FAILURE() << c.what << ": no error";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.GetCause(), c.cause) << c.what;
        }
    }
    // A count that the rest of the file cannot hold.
    CMemoryStream stream(Bytes({0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}), false);
    CArchive in(stream, CArchive::load);
    EXPECT_THROW(in.ReadCount(), CArchiveException);
}

namespace {
class CLeaf : public CObject {
public:
    static const CRuntimeClass kClass;
    static CObject* Create() { return new CLeaf; }
    const CRuntimeClass* GetRuntimeClass() const override { return &kClass; }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << value;
        else
            ar >> value;
    }
    int32_t value = 0;
};
const CRuntimeClass CLeaf::kClass = {"CLeaf", 1, false, &CLeaf::Create};
} // namespace

TEST(Archive, BigClassTagsPastTheSixteenBitNumbers)
{
    CRuntimeClass::Register(&CNode::kClass);
    CRuntimeClass::Register(&CLeaf::kClass);
    const int kNodes = 0x8000;
    std::vector<CNode> nodes(kNodes);
    CLeaf first, second;
    first.value = 1;
    second.value = 2;
    CMemoryStream stream;
    {
        CArchive ar(stream, CArchive::store);
        for (CNode& n : nodes)
            ar.WriteObject(&n);
        ar.WriteObject(&first);  // new class: number 0x8002, the object 0x8003
        ar.WriteObject(&second); // class seen before, number past 0x7FFE
    }
    const auto& data = stream.Data();
    const std::vector<unsigned char> tail(data.end() - 10, data.end());
    EXPECT_EQ(tail, Bytes({0xFF, 0x7F, 0x02, 0x80, 0x00, 0x80, 0x02, 0x00, 0x00, 0x00}));

    stream.Seek(0);
    CArchive in(stream, CArchive::load);
    for (int i = 0; i < kNodes; ++i)
        ASSERT_TRUE(in.ReadObject());
    auto a = in.ReadObject();
    auto b = in.ReadObject();
    ASSERT_TRUE(dynamic_cast<CLeaf*>(a.get()) && dynamic_cast<CLeaf*>(b.get()));
    EXPECT_EQ(dynamic_cast<CLeaf*>(b.get())->value, 2);
}

TEST(Archive, DeeplyNestedObjectsAreRefusedBeforeTheStackRunsOut)
{
    CRuntimeClass::Register(&CNode::kClass);
    // A chain of nodes, each holding the next as its child, far deeper than any stored structure.
    std::vector<unsigned char> bytes = Bytes({0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00, 'C', 'N', 'o', 'd', 'e', 0x00});
    for (int i = 0; i < 100000; ++i)
        bytes.insert(bytes.end(), {0x01, 0x80, 0x00});
    bytes.insert(bytes.end(), {0x00, 0x00});
    CMemoryStream stream(bytes, false);
    CArchive in(stream, CArchive::load);
    try {
        in.ReadObject();
        ADD_FAILURE() << "no error";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), CArchiveException::badIndex);
    }

    // Nesting within the limit still reads.
    CNode root;
    CNode* last = &root;
    for (int i = 1; i < CArchive::kMaxObjectDepth; ++i) {
        last->child = std::make_unique<CNode>();
        last = last->child.get();
    }
    CMemoryStream good;
    {
        CArchive out(good, CArchive::store);
        out.WriteObject(&root);
    }
    good.Seek(0);
    CArchive again(good, CArchive::load);
    EXPECT_TRUE(again.ReadObject());
}
