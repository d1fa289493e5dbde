/* What the compiler's code refers to in every image: _fltused (marks code
   that uses floating point) and __chkstk, the stack probe called before a
   frame larger than a page is allocated. It touches each page from the stack
   pointer down by RAX bytes, so that the guard page moves in order; the
   caller then subtracts RAX itself. */
int _fltused = 0x9875;

__attribute__((naked)) void __chkstk(void) {
  __asm__ volatile(
      "  pushq %rcx\n"
      "  pushq %rax\n"
      "  leaq  24(%rsp), %rcx\n" /* the caller's stack pointer */
      "  cmpq  $0x1000, %rax\n"
      "  jb    2f\n"
      "1:\n"
      "  subq  $0x1000, %rcx\n"
      "  orq   $0, (%rcx)\n"
      "  subq  $0x1000, %rax\n"
      "  cmpq  $0x1000, %rax\n"
      "  ja    1b\n"
      "2:\n"
      "  subq  %rax, %rcx\n"
      "  orq   $0, (%rcx)\n"
      "  popq  %rax\n"
      "  popq  %rcx\n"
      "  ret\n");
}
